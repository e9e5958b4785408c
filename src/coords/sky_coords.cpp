// The range check of one corner of the query box.
#include "coords/sky_coords.h"

#include <cmath>

// 1 when the declination lies within -90:00:00..90:00:00 with minutes 0..59 and seconds
// 0..<60, else 0. A NaN field is out of range.
static int declination_verdict(const arc& a) {
    double d = std::fabs(a.degrees);
    if (std::isnan(d) || std::isnan(a.minutes) || std::isnan(a.seconds))
        return 0;
    if (d == 90 && a.minutes == 0 && a.seconds == 0)
        return 1;
    if (a.minutes < 0 || a.seconds < 0)
        return 0;
    if (d > 89 || a.minutes > 59 || a.seconds >= 60)
        return 0;
    return 1;
}

// 1 when the right ascension lies within 00:00:00..24:00:00 with minutes 0..59 and
// seconds 0..<60, else 0. A NaN field is out of range.
static int ascension_verdict(const arc& a) {
    if (std::isnan(a.degrees) || std::isnan(a.minutes) || std::isnan(a.seconds))
        return 0;
    if (a.degrees == 24 && a.minutes == 0 && a.seconds == 0)
        return 1;
    if (a.degrees < 0 || a.minutes < 0 || a.seconds < 0)
        return 0;
    if (a.degrees > 23 || a.minutes > 59 || a.seconds >= 60)
        return 0;
    return 1;
}

// 1 when both the declination and the right ascension are in range, else 0: callers
// multiply verdicts together, so the result is exactly 0 or 1.
int sky_coords::value_checker() const {
    return declination_verdict(declination) * ascension_verdict(ascension);
}
