// redshift_histogram: how the redshifts of an answer fall, counted in bins.
//
// The bins are of equal width, and there are ceil(log2 N) + 1 of them for N redshifts
// (Sturges' rule: 1 for one galaxy, 8 for 100, 21 for a million). They span the query's
// redshift interval, so that a glance shows where in it the galaxies lie, unless that
// interval is infinite or more than ten times as wide as the span of the redshifts found:
// then they span the redshifts found. A span of no width is widened to 0.01, centred.
#ifndef GALSIFT_PICTURE_REDSHIFT_HISTOGRAM_H
#define GALSIFT_PICTURE_REDSHIFT_HISTOGRAM_H

#include "picture/svg_canvas.h"

#include <cstddef>
#include <vector>

struct redshift_bins {
    double low = 0, high = 0;        // the span of the bins, low < high
    bool over_query = false;         // the span is the query's interval
    std::vector<std::size_t> counts; // galaxies in each bin, from low to high; a redshift
                                     // on a boundary goes to the upper bin, `high` itself
                                     // to the last
};

// The bins of `redshifts` (at least one; NaN not among them) for a query whose redshift
// interval is [query_low, query_high]. Infinite redshifts fall in the end bins.
redshift_bins bin_redshifts(const std::vector<double>& redshifts, double query_low,
                            double query_high);

// Draws `bins` as bars in the box at (x, y), `width` by `height`, with axes, their labels
// and a line below them that states the rule.
void draw_histogram(svg_canvas& canvas, const redshift_bins& bins, double x, double y, double width,
                    double height);

#endif
