// Binning the redshifts of an answer and drawing them.
#include "picture/redshift_histogram.h"

#include "picture/axis_ticks.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

// The number of bins for `count` values: ceil(log2 count) + 1.
static std::size_t sturges_bins(std::size_t count) {
    std::size_t bins = 1;
    for (std::size_t reach = 1; reach < count; reach *= 2)
        bins++;
    return bins;
}

redshift_bins bin_redshifts(const std::vector<double>& redshifts, double query_low,
                            double query_high) {
    assert(!redshifts.empty());
    double lowest = INFINITY, highest = -INFINITY;
    for (double z : redshifts) {
        if (std::isfinite(z)) {
            lowest = std::min(lowest, z);
            highest = std::max(highest, z);
        }
    }
    if (!std::isfinite(lowest)) // every one infinite: the query's ends, or around 0
        lowest = highest = std::isfinite(query_low) ? query_low : 0;
    redshift_bins bins;
    double query_span = query_high - query_low;
    bins.over_query =
        std::isfinite(query_span) && query_span > 0 && query_span <= 10 * (highest - lowest);
    bins.low = bins.over_query ? query_low : lowest;
    bins.high = bins.over_query ? query_high : highest;
    if (!(bins.high > bins.low)) {
        double middle = bins.low;
        bins.low = middle - 0.005;
        bins.high = middle + 0.005;
    }
    bins.counts.assign(sturges_bins(redshifts.size()), 0);
    double per_bin = (bins.high - bins.low) / static_cast<double>(bins.counts.size());
    for (double z : redshifts) {
        double place = (z - bins.low) / per_bin;
        std::size_t bin = !(place > 0) ? 0
                          : place >= static_cast<double>(bins.counts.size())
                              ? bins.counts.size() - 1
                              : static_cast<std::size_t>(place);
        bins.counts[bin]++;
    }
    return bins;
}

void draw_histogram(svg_canvas& canvas, const redshift_bins& bins, double x, double y, double width,
                    double height) {
    std::size_t most = *std::max_element(bins.counts.begin(), bins.counts.end());
    assert(most > 0 && bins.high > bins.low);
    std::vector<axis_tick> up = decimal_ticks(0, static_cast<double>(most), 5);
    double top = std::max(static_cast<double>(most), up.empty() ? 0 : up.back().value);
    double bar = width / static_cast<double>(bins.counts.size());
    for (std::size_t n = 0; n < bins.counts.size(); n++) {
        double tall = height * static_cast<double>(bins.counts[n]) / top;
        canvas.rect(x + bar * static_cast<double>(n), y + height - tall, bar, tall, "#31688e",
                    "white");
    }
    canvas.rect(x, y, width, height, "none", "#404040");
    for (const axis_tick& tick : up) {
        double at = y + height - height * tick.value / top;
        canvas.line(x - 4, at, x, at, "#404040", 1);
        canvas.words(x - 7, at + 4, "end", 11, tick.label);
    }
    for (const axis_tick& tick : decimal_ticks(bins.low, bins.high, 8)) {
        double at = x + width * (tick.value - bins.low) / (bins.high - bins.low);
        canvas.line(at, y + height, at, y + height + 4, "#404040", 1);
        canvas.words(at, y + height + 17, "middle", 11, tick.label);
    }
    canvas.words(x + width / 2, y + height + 36, "middle", 13, "Redshift z");
    canvas.words(x - 48, y + height / 2, "middle", 13, "Galaxies per bin",
                 ("transform=\"rotate(-90 " + std::to_string(static_cast<int>(x - 48)) + " " +
                  std::to_string(static_cast<int>(y + height / 2)) + ")\"")
                     .c_str());
    std::string rule =
        std::to_string(bins.counts.size()) + (bins.counts.size() == 1 ? " bin" : " bins") +
        " of equal width over " +
        (bins.over_query ? "the query's redshift interval" : "the span of the redshifts found") +
        "; ceil(log2 N) + 1 bins for N galaxies (Sturges' rule)";
    canvas.words(x + width / 2, y + height + 54, "middle", 11, rule);
}
