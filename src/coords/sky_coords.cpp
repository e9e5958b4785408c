// The range check of one corner of the query box.
#include "coords/sky_coords.h"

#include <cmath>

// 1 when an angle's whole part, minutes and seconds are in range, else 0: the whole part
// within 0..`top` - 1 or exactly `top` with zero minutes and seconds, minutes 0..59 and
// seconds 0..<60. A NaN field is out of range.
static int field_verdict(double whole, double minutes, double seconds, double top) {
    if (std::isnan(whole) || std::isnan(minutes) || std::isnan(seconds))
        return 0;
    if (whole == top && minutes == 0 && seconds == 0)
        return 1;
    if (whole < 0 || minutes < 0 || seconds < 0)
        return 0;
    if (whole > top - 1 || minutes > 59 || seconds >= 60)
        return 0;
    return 1;
}

// 1 when both the declination (its degrees judged by absolute value, up to 90) and the
// right ascension (up to 24 hours) are in range, else 0: callers multiply verdicts
// together, so the result is exactly 0 or 1.
int sky_coords::value_checker() const {
    return field_verdict(std::fabs(declination.degrees), declination.minutes, declination.seconds,
                         90) *
           field_verdict(ascension.degrees, ascension.minutes, ascension.seconds, 24);
}
