// axis_ticks: where an axis is marked and what each mark says.
//
// Angles are marked at round sexagesimal steps and written as the query form writes them:
// a right ascension (arc::value(), seconds of time) as "13:05:00", a declination (seconds
// of arc, signed) as "+24:30:00" or "-00:30:00", with a tenth of a second when the step is
// below a second. Other quantities (redshift, counts) are marked at 1, 2 or 5 times a
// power of ten.
#ifndef GALSIFT_PICTURE_AXIS_TICKS_H
#define GALSIFT_PICTURE_AXIS_TICKS_H

#include <string>
#include <vector>

struct axis_tick {
    double value;      // where the mark stands, in the axis' quantity
    std::string label; // what it says
};

// The marks of [low, high] (low <= high, finite) at the finest step of the kind that gives
// at most `most` (at least 2) of them, in increasing order; an interval too short to hold
// one at the finest step gets none.
std::vector<axis_tick> ascension_ticks(double low, double high, int most);
std::vector<axis_tick> declination_ticks(double low, double high, int most);
std::vector<axis_tick> decimal_ticks(double low, double high, int most);

#endif
