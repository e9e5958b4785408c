// coverage_map: where on the sky a catalogue has entries, as a MOC (Multi-Order Coverage
// map, IVOA MOC 2.0): the HEALPix cells (nested scheme, ICRS axes) at a chosen order that
// hold at least one entry, written in their well-formed NUNIQ form (four sibling cells
// become their parent; ascending). Computed with the HEALPix C++ library.
//
// Positions are taken in degrees exactly as the cone search computes them
// (sky_position.h); entries with a position no search can find (not finite, declination
// beyond 90 degrees) are left out. Each position falls in the one cell the library's
// ang2pix gives; STILTS's pixfoot also counts the neighbouring cells that touch a
// position lying exactly on a cell's edge or corner.
#ifndef GALSIFT_VO_COVERAGE_MAP_H
#define GALSIFT_VO_COVERAGE_MAP_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct catalogue_store;

struct coverage_map {
    int order = 0;                   // the best resolution, a HEALPix order, 0 to 29
    std::vector<std::int64_t> cells; // NUNIQ numbers (4 * 4^order + cell), ascending
};

// The orders coverage_order chooses from.
const int least_coverage_order = 6;
const int greatest_coverage_order = 10;
// The greatest order of any map.
const int deepest_coverage_order = 29;

// Results of make_coverage.
const int coverage_made = 0;   // `map` holds the coverage
const int coverage_failed = 1; // the library refused (it should never): `map` is empty

int coverage_order(std::size_t entries);
int make_coverage(const catalogue_store& store, int order, coverage_map& map);
coverage_map degraded_coverage(const coverage_map& map, int order);

#endif
