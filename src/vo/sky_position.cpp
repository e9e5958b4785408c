// Positions of catalogue entries in degrees, and the distance between two of them.
#include "vo/sky_position.h"

#include "catalogue/entry.h"
#include "catalogue/record.h"

#include <cmath>

// 15 * (h + m/60 + s/3600), in this order of operations, brought into [0, 360) as
// astropy's longitudes are: 24h is 0h. The sign is ignored: a right ascension's stays +1.
double ascension_degrees(const arc& ascension) {
    double hours = ascension.degrees + ascension.minutes / 60.0 + ascension.seconds / 3600.0;
    double degrees = 15.0 * hours;
    return degrees >= 360.0 ? std::fmod(degrees, 360.0) : degrees;
}

// sign * (d + m/60 + s/3600): the sign is the record's own, so "-00 30 00" gives -0.5.
double declination_degrees(const arc& declination) {
    double degrees =
        declination.degrees + declination.minutes / 60.0 + declination.seconds / 3600.0;
    return declination.sign * degrees;
}

// The position of a catalogue entry, its sign in the declination's `sign`.
sky_position position_of(const catalogue_entry& entry) {
    return {ascension_degrees(entry.ascension), declination_degrees(entry.declination)};
}

// The position of a catalogue entry whose sign has been moved by Correct_record_list.
sky_position position_of(const record& entry) {
    return {ascension_degrees(entry.ascension), declination_degrees(entry.declination)};
}

// The direction of `to` seen from `centre`, in the frame of `centre` (sky_position.h).
// The terms are those of astropy's angular_separation, in its order, so that the distance
// from them agrees with astropy's to the last bit or two on an entry that lies on a search
// radius.
centred_direction direction_from(const sky_position& centre, const sky_position& to) {
    double longitude = (to.ascension - centre.ascension) * radians_per_degree;
    double latitude1 = centre.declination * radians_per_degree;
    double latitude2 = to.declination * radians_per_degree;
    double sin_dlon = std::sin(longitude), cos_dlon = std::cos(longitude);
    double sin_lat1 = std::sin(latitude1), cos_lat1 = std::cos(latitude1);
    double sin_lat2 = std::sin(latitude2), cos_lat2 = std::cos(latitude2);
    centred_direction direction;
    direction.toward = sin_lat1 * sin_lat2 + cos_lat1 * cos_lat2 * cos_dlon;
    direction.east = cos_lat2 * sin_dlon;
    direction.north = cos_lat1 * sin_lat2 - sin_lat1 * cos_lat2 * cos_dlon;
    return direction;
}

// The angle between two positions, in radians, from 0 to pi; NaN when a coordinate is NaN.
// The Vincenty form (atan2 of the cross and dot products) loses no precision near 0 or pi
// or at the poles, where the cosine form fails and haversine loses digits near pi.
double angular_distance(const sky_position& from, const sky_position& to) {
    centred_direction direction = direction_from(from, to);
    return std::atan2(std::hypot(direction.east, direction.north), direction.toward);
}
