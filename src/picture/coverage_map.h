// coverage_map: where a catalogue has entries, on a map of the whole sky.
//
// The map is the Hammer-Aitoff projection (equal-area: a cell's share of the map is its
// share of the sky) of the catalogue's equatorial coordinates, right ascension increasing
// to the left with 12h in the middle, north up. The sky is cut into coverage_columns
// stripes of right ascension and coverage_bands bands of equal width in the sine of the
// declination, so that every cell covers the same area (15.9 square degrees); each cell
// that holds entries is coloured by the logarithm of their number. Over it lie the lines
// of every 2h of right ascension and every 30 degrees of declination.
#ifndef GALSIFT_PICTURE_COVERAGE_MAP_H
#define GALSIFT_PICTURE_COVERAGE_MAP_H

#include <string>

struct catalogue_store;

const int coverage_columns = 72; // stripes of 20 minutes of right ascension
const int coverage_bands = 36;   // bands of 1/18 in the sine of the declination

// A place on the map, in the projection's own units: x from -2 sqrt 2 (left, 24h) to
// 2 sqrt 2 (right, 0h), y from -sqrt 2 (south pole) to sqrt 2 (north pole).
struct map_point {
    double x, y;
};

// The place of right ascension `ascension` (degrees, 0 to 360) and declination
// `declination` (degrees, -90 to 90).
map_point hammer_aitoff(double ascension, double declination);

// The map of every entry of `store` (the catalogue of `epoch`, 2000 or 1950) whose
// position lies on the sky, as a whole SVG document; entries with a field the index
// cannot place or a declination beyond a pole are counted apart and said to be left out.
std::string coverage_map_svg(const catalogue_store& store, int epoch);

#endif
