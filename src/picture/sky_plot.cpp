// Drawing the sky plot of an answer.
#include "picture/sky_plot.h"

#include "picture/axis_ticks.h"
#include "picture/colour_scale.h"
#include "picture/redshift_histogram.h"
#include "picture/svg_canvas.h"
#include "query/query_bounds.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <vector>

// ---- Layout, in user units ----

const double page_width = 760;
const double frame_left = 100, frame_top = 76; // the box's frame
const double frame_most = 520;                 // its longer side
const double bar_gap = 40, bar_width = 16;     // the colour bar, right of the frame
const double histogram_gap = 84, histogram_height = 170;
const double cell_size = 10; // a cell of the density grid
const double seconds_of_arc_per_second_of_time = 15;
const double radians_per_degree = 0.017453292519943295;

// ---- The frame ----

// Where the box is drawn: its angles and its place on the canvas.
struct sky_frame {
    double ascension_low, ascension_high;     // seconds of time; the high end on the left
    double declination_low, declination_high; // seconds of arc; the high end on top
    double width, height;                     // the frame's size on the canvas

    double x(double ascension) const {
        return frame_left + width * (ascension_high - ascension) / (ascension_high - ascension_low);
    }
    double y(double declination) const {
        return frame_top +
               height * (declination_high - declination) / (declination_high - declination_low);
    }
};

// [low, high] widened around its middle to at least `least`, kept within [floor, ceiling].
static void widen(double& low, double& high, double least, double floor, double ceiling) {
    if (high - low >= least)
        return;
    double middle = (low + high) / 2;
    low = std::max(floor, middle - least / 2);
    high = std::min(ceiling, low + least);
    low = high - least;
}

static sky_frame frame_of(const query_bounds& query) {
    sky_frame frame;
    frame.ascension_low = query.minimal_ascension.value();
    frame.ascension_high = query.maximal_ascension.value();
    frame.declination_low = query.minimal_declination.value();
    frame.declination_high = query.maximal_declination.value();
    widen(frame.ascension_low, frame.ascension_high, 1, 0, 86400);
    widen(frame.declination_low, frame.declination_high, 10, -324000, 324000);
    double middle = (frame.declination_low + frame.declination_high) / 2 / 3600;
    double across = (frame.ascension_high - frame.ascension_low) *
                    seconds_of_arc_per_second_of_time * std::cos(middle * radians_per_degree);
    double ratio = across / (frame.declination_high - frame.declination_low);
    ratio = std::min(3.0, std::max(1 / 3.0, ratio));
    frame.width = ratio >= 1 ? frame_most : frame_most * ratio;
    frame.height = ratio >= 1 ? frame_most / ratio : frame_most;
    return frame;
}

// The frame's axes: grid lines and labels at the marks, and each axis' title.
static void draw_axes(svg_canvas& canvas, const sky_frame& frame, int epoch) {
    double right = frame_left + frame.width, bottom = frame_top + frame.height;
    int across = std::max(3, static_cast<int>(frame.width / 64));
    for (const axis_tick& tick :
         ascension_ticks(frame.ascension_low, frame.ascension_high, across)) {
        double at = frame.x(tick.value);
        canvas.line(at, frame_top, at, bottom, "#e0e0e0", 1);
        canvas.line(at, bottom, at, bottom + 5, "#404040", 1);
        canvas.words(at, bottom + 18, "middle", 11, tick.label);
    }
    int up = std::max(3, static_cast<int>(frame.height / 40));
    for (const axis_tick& tick :
         declination_ticks(frame.declination_low, frame.declination_high, up)) {
        double at = frame.y(tick.value);
        canvas.line(frame_left, at, right, at, "#e0e0e0", 1);
        canvas.line(frame_left - 5, at, frame_left, at, "#404040", 1);
        canvas.words(frame_left - 8, at + 4, "end", 11, tick.label);
    }
    canvas.rect(frame_left, frame_top, frame.width, frame.height, "none", "#404040");
    std::string equinox = epoch == 1950 ? "B1950" : "J2000";
    canvas.words(frame_left + frame.width / 2, bottom + 40, "middle", 13,
                 "Right ascension (" + equinox + "), h:m:s, increasing to the left");
    double side = frame_left - 78, middle = frame_top + frame.height / 2;
    char turn[80];
    std::snprintf(turn, sizeof turn, "transform=\"rotate(-90 %.1f %.1f)\"", side, middle);
    canvas.words(side, middle, "middle", 13, "Declination (" + equinox + "), d:m:s", turn);
}

// ---- The galaxies ----

// A galaxy's place on the canvas.
struct shown_place {
    float x, y;
};

// The colour bar of [low, high] (a single value when they are equal).
static void redshift_bar(svg_canvas& canvas, const sky_frame& frame, double low, double high) {
    std::vector<axis_tick> marks;
    for (axis_tick tick : decimal_ticks(low, high, 6)) {
        tick.value = high > low ? (tick.value - low) / (high - low) : 0.5;
        if (high > low || marks.empty())
            marks.push_back(tick);
    }
    draw_colour_bar(canvas, frame_left + frame.width + bar_gap, frame_top, bar_width, frame.height,
                    "z", marks);
}

// Each galaxy a disc at its place coloured by its redshift (the same index in
// `redshifts`), over the span of those found.
static void draw_marks(svg_canvas& canvas, const sky_frame& frame,
                       const std::vector<shown_place>& places,
                       const std::vector<double>& redshifts) {
    assert(places.size() == redshifts.size());
    double low = INFINITY, high = -INFINITY;
    for (double z : redshifts) {
        if (std::isfinite(z)) {
            low = std::min(low, z);
            high = std::max(high, z);
        }
    }
    if (!std::isfinite(low))
        low = high = 0;
    double radius = places.size() <= 500 ? 3.5 : 2.2;
    for (std::size_t n = 0; n < places.size(); n++) {
        double t = high > low ? (redshifts[n] - low) / (high - low) : 0.5;
        canvas.circle(places[n].x, places[n].y, radius, scale_colour(t), "#303030");
    }
    redshift_bar(canvas, frame, low, high);
}

// The frame cut into cells of cell_size, each coloured by the logarithm of the number of
// galaxies it holds; empty cells left white.
static void draw_density(svg_canvas& canvas, const sky_frame& frame,
                         const std::vector<shown_place>& places) {
    int columns = std::max(1, static_cast<int>(std::ceil(frame.width / cell_size)));
    int rows = std::max(1, static_cast<int>(std::ceil(frame.height / cell_size)));
    double cell_width = frame.width / columns, cell_height = frame.height / rows;
    std::vector<std::size_t> counts(static_cast<std::size_t>(columns * rows), 0);
    for (const shown_place& galaxy : places) {
        int column = std::min(columns - 1, static_cast<int>((galaxy.x - frame_left) / cell_width));
        int row = std::min(rows - 1, static_cast<int>((galaxy.y - frame_top) / cell_height));
        counts[static_cast<std::size_t>(std::max(0, row) * columns + std::max(0, column))]++;
    }
    std::size_t most = *std::max_element(counts.begin(), counts.end());
    double scale = most > 1 ? std::log(static_cast<double>(most)) : 1;
    for (int row = 0; row < rows; row++) {
        for (int column = 0; column < columns; column++) {
            std::size_t count = counts[static_cast<std::size_t>(row * columns + column)];
            if (count == 0)
                continue;
            double t = most > 1 ? std::log(static_cast<double>(count)) / scale : 1;
            canvas.rect(frame_left + column * cell_width, frame_top + row * cell_height, cell_width,
                        cell_height, scale_colour(t));
        }
    }
    std::vector<axis_tick> marks;
    for (std::size_t power = 1; power <= most; power *= 10)
        marks.push_back(
            {most > 1 ? std::log(static_cast<double>(power)) / scale : 1, std::to_string(power)});
    draw_colour_bar(canvas, frame_left + frame.width + bar_gap, frame_top, bar_width, frame.height,
                    "per cell", marks);
}

// ---- The document ----

std::string galaxies_text(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " galaxy" : " galaxies");
}

// What the picture shows, below the count.
static std::string legend(const query_bounds& query, std::size_t count) {
    char interval[80];
    std::snprintf(interval, sizeof interval, "redshift %.10g to %.10g", query.min_redshift,
                  query.max_redshift);
    std::string said = std::string(query.epoch == 1950 ? "B1950" : "J2000") + ", " + interval;
    if (count == 0)
        return said;
    if (count <= sky_marks_limit)
        return said + ": each galaxy a mark coloured by its redshift";
    return said + ": more than " + std::to_string(sky_marks_limit) +
           " galaxies, so each cell of the grid is coloured by how many it holds";
}

std::string sky_plot_svg(entry_reader rows, std::size_t count, const query_bounds& query) {
    sky_frame frame = frame_of(query);
    std::vector<shown_place> galaxies;
    std::vector<double> redshifts;
    galaxies.reserve(count);
    redshifts.reserve(count);
    catalogue_entry entry;
    while (rows.next(entry)) {
        galaxies.push_back({static_cast<float>(frame.x(entry.ascension.value())),
                            static_cast<float>(frame.y(entry.declination.value()))});
        redshifts.push_back(entry.redshift);
    }
    assert(galaxies.size() == count);
    double histogram_top = frame_top + frame.height + histogram_gap;
    double height =
        galaxies.empty() ? frame_top + frame.height + 60 : histogram_top + histogram_height + 70;
    svg_canvas canvas;
    std::string said = galaxies.empty() ? no_galaxy_text : galaxies_text(galaxies.size());
    canvas.start(page_width, height, "galsift: " + said);
    canvas.words(frame_left, 26, "start", 17, said, "id=\"count\" font-weight=\"bold\"");
    canvas.words(frame_left, 48, "start", 12, legend(query, galaxies.size()));
    draw_axes(canvas, frame, query.epoch);
    if (!galaxies.empty()) {
        if (galaxies.size() <= sky_marks_limit)
            draw_marks(canvas, frame, galaxies, redshifts);
        else
            draw_density(canvas, frame, galaxies);
        draw_histogram(canvas, bin_redshifts(redshifts, query.min_redshift, query.max_redshift),
                       frame_left, histogram_top, frame_most, histogram_height);
    }
    canvas.end();
    return canvas.text;
}
