// Selecting the entries of a cone: every entry whose distance from the centre is at most
// the radius.
#include "vo/cone.h"

#include "catalogue/record.h"

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
bool inside_cone(const cone& where, const record& entry, double& distance) {
    return inside_cone(where, position_of(entry), distance);
}

// How much farther than the radius, in degrees, an entry's declination alone may lie
// from the centre's before cone_search passes it over without working out its distance:
// far above the rounding of either value, far below the radius's own rim.
static const double declination_margin = 1e-9;

// The entries within `where` from `first` along the catalogue list, in list order. With a
// `limit` above 0, at most `limit` entries are returned, and `cut` says whether another
// entry would have followed; with 0, every one is returned.
cone_answer cone_search(const record* first, const cone& where, std::size_t limit) {
    assert(where.radius >= 0);
    const double reach = where.radius + declination_margin;
    cone_answer answer;
    for (const record* entry = first; entry; entry = entry->next) {
        // An entry is at least as far from the centre as its declination is from the
        // centre's: most entries of a small cone are passed over without trigonometry.
        if (std::fabs(declination_degrees(entry->declination) - where.centre.declination) > reach)
            continue;
        double distance;
        if (!inside_cone(where, *entry, distance))
            continue;
        if (limit && answer.matches.size() == limit) {
            answer.cut = true;
            break;
        }
        answer.matches.push_back({entry, distance});
    }
    return answer;
}
