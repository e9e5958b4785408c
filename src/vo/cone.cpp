// Selecting the entries of a cone: every entry whose distance from the centre is at most
// the radius.
#include "vo/cone.h"

#include "catalogue/entry.h"
#include "store/store_select.h"

#include <algorithm>
#include <cassert>
#include <cmath>

// How far past the radius an entry still counts as on it, in radians (2e-9 seconds of
// arc): an entry placed exactly on the radius comes out a few units of the last place
// beyond it, here as in astropy (near a pole, cos 90 degrees is 6e-17, not 0). The margin
// is far below what a catalogue's sexagesimal fields can tell apart.
static const double rim = 1e-14;

// Whether `position` lies within `where`, the radius included; `distance` gets its
// distance from the centre in degrees. A position with a NaN coordinate is never inside.
bool inside_cone(const cone& where, const sky_position& position, double& distance) {
    double radians = angular_distance(where.centre, position);
    distance = radians / radians_per_degree;
    return radians <= where.radius * radians_per_degree + rim;
}

// Whether `entry` lies within `where`, as the position above.
bool inside_cone(const cone& where, const catalogue_entry& entry, double& distance) {
    return inside_cone(where, position_of(entry), distance);
}

// How much farther than the radius, in degrees, an entry's declination alone may lie
// from the centre's before cone_search passes it over without working out its distance:
// far above the rounding of either value, far below the radius's own rim. The index is
// asked for as much again around the cone, so that the rounding that sets its values
// apart from the degrees of sky_position never hides an entry.
static const double declination_margin = 1e-9;

// The stretches of right ascension (seconds of time) that hold every position within
// `where`: on a circle of radius r about declination d the right ascension departs from the
// centre's by at most asin(sin r / cos d), when the circle holds no pole. Returns how many
// stretches (1 or 2, the sky wrapping at 0h) are in `ranges`.
static std::size_t ascension_ranges(const cone& where, double reach, ascension_range ranges[2]) {
    double centre = where.centre.ascension * 240;
    if (std::fabs(where.centre.declination) + reach >= 90) {
        ranges[0] = {0, 86400};
        return 1;
    }
    double sine = std::sin(reach * radians_per_degree) /
                  std::cos(where.centre.declination * radians_per_degree);
    double half = (std::asin(std::min(sine, 1.0)) / radians_per_degree + declination_margin) * 240;
    if (half >= 43200) {
        ranges[0] = {0, 86400};
        return 1;
    }
    double low = centre - half, high = centre + half;
    if (low < 0) {
        ranges[0] = {low + 86400, 86400};
        ranges[1] = {0, high};
        return 2;
    }
    if (high > 86400) {
        ranges[0] = {low, 86400};
        ranges[1] = {0, high - 86400};
        return 2;
    }
    ranges[0] = {low, high};
    return 1;
}

// The entries of `store` within `where`, in catalogue order. With a `limit` above 0, at
// most `limit` entries are returned, and `cut` says whether another entry would have
// followed; with 0, every one is returned.
cone_answer cone_search(const catalogue_store& store, const cone& where, std::size_t limit) {
    assert(where.radius >= 0);
    const double reach = where.radius + declination_margin;
    ascension_range ranges[2];
    std::size_t count = ascension_ranges(where, reach + declination_margin, ranges);
    std::vector<std::uint32_t> rows = candidate_rows(
        store, (where.centre.declination - reach - declination_margin) * 3600,
        (where.centre.declination + reach + declination_margin) * 3600, ranges, count);
    cone_answer answer;
    for (std::uint32_t row : rows) {
        catalogue_entry entry = store.entry(row);
        // An entry is at least as far from the centre as its declination is from the
        // centre's: most candidates far from a small cone are passed over without
        // trigonometry.
        if (std::fabs(declination_degrees(entry.declination) - where.centre.declination) > reach)
            continue;
        double distance;
        if (inside_cone(where, entry, distance))
            answer.matches.push_back({row, distance});
    }
    std::sort(answer.matches.begin(), answer.matches.end(),
              [&](const cone_match& a, const cone_match& b) {
                  return store.number[a.row] < store.number[b.row];
              });
    if (limit && answer.matches.size() > limit) {
        answer.matches.resize(limit);
        answer.cut = true;
    }
    return answer;
}
