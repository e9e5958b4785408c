// A catalogue entry's position in decimal degrees, and the angular distance between two
// positions.
//
// Positions are read from the same fields the box selection compares, with the same sign:
// right ascension from hours, minutes and seconds of time, declination from degrees,
// minutes and seconds of arc with the record's `sign` (set by Correct_record_list).
// Nothing is range-checked: a catalogue field out of range gives the position it spells.
#ifndef GALSIFT_VO_SKY_POSITION_H
#define GALSIFT_VO_SKY_POSITION_H

struct arc;
struct catalogue_entry;
struct record;

struct sky_position {
    double ascension = 0;   // degrees, 15 * (h + m/60 + s/3600); 24h gives 0
    double declination = 0; // degrees, sign * (d + m/60 + s/3600)
};

// The direction of a position seen from a centre, a unit vector in the frame of the
// centre: `toward` the centre's own direction, `east` and `north` along the great circles
// of right ascension and declination through it. The gnomonic projection about the centre
// divides the last two by the first; the angle from the centre is their atan2.
struct centred_direction {
    double toward = 1;
    double east = 0;
    double north = 0;
};

double ascension_degrees(const arc& ascension);
double declination_degrees(const arc& declination);
sky_position position_of(const catalogue_entry& entry);
sky_position position_of(const record& entry);
centred_direction direction_from(const sky_position& centre, const sky_position& to);
double angular_distance(const sky_position& from, const sky_position& to);

// Degrees to radians, the factor astropy's unit conversion uses.
const double radians_per_degree = 0.017453292519943295;

#endif
