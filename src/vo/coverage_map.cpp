// Computing a catalogue's coverage map with the HEALPix library.
#include "vo/coverage_map.h"

#include "store/catalogue_store.h"
#include "vo/sky_position.h"

#include <healpix_base.h>
#include <moc.h>

#include <algorithm>
#include <cassert>
#include <cmath>

// The order for a catalogue of `entries`: the smallest from least_coverage_order (cells
// of about one degree) whose 12 * 4^order cells number at least a quarter of the entries,
// so that the cells of a catalogue spread over the whole sky would hold four entries each
// on average; at most greatest_coverage_order (cells of 3.4 minutes of arc).
int coverage_order(std::size_t entries) {
    int order = least_coverage_order;
    while (order < greatest_coverage_order &&
           12.0 * std::pow(4.0, order) < static_cast<double>(entries) / 4)
        order++;
    return order;
}

// pi: the colatitude of the south pole, which rounding must not pass.
static const double half_turn = 3.141592653589793;

// `map`'s cells from the ranges of `moc`.
static void take_cells(const Moc<int64>& moc, coverage_map& map) {
    std::vector<int64> cells = moc.toUniq();
    map.cells.assign(cells.begin(), cells.end());
}

// The coverage of the entries of `store` at `order` (0 to 29) into `map`. Returns
// coverage_made, or coverage_failed (and an empty map) should the library refuse.
int make_coverage(const catalogue_store& store, int order, coverage_map& map) {
    assert(order >= 0 && order <= deepest_coverage_order);
    map.order = order;
    map.cells.clear();
    try {
        T_Healpix_Base<int64> base(order, NEST);
        std::vector<int64> cells;
        cells.reserve(store.size());
        for (std::size_t row = 0; row < store.size(); row++) {
            sky_position at = position_of(store.entry(row));
            if (!std::isfinite(at.ascension) || !std::isfinite(at.declination) ||
                std::fabs(at.declination) > 90)
                continue;
            double colatitude = (90 - at.declination) * radians_per_degree;
            cells.push_back(base.ang2pix(pointing(std::min(std::max(colatitude, 0.0), half_turn),
                                                  at.ascension * radians_per_degree)));
        }
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        Moc<int64> moc;
        for (int64 cell : cells)
            moc.appendPixel(order, cell);
        take_cells(moc, map);
    } catch (const PlanckError&) {
        map.cells.clear();
        return coverage_failed;
    }
    return coverage_made;
}

// `map` at the coarser `order` (at most map.order): every cell of that order that holds a
// cell of `map`, so that nothing covered is lost.
coverage_map degraded_coverage(const coverage_map& map, int order) {
    assert(order >= 0 && order <= map.order);
    coverage_map coarser;
    coarser.order = order;
    std::vector<int64> cells(map.cells.begin(), map.cells.end());
    take_cells(Moc<int64>::fromUniq(cells).degradedToOrder(order, true), coarser);
    return coarser;
}
