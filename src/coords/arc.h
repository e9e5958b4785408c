// arc: a sexagesimal angle.
//
// A declination is held as degrees, minutes and seconds of arc; a right ascension as
// hours, minutes and seconds of time, the hours in `degrees`. The sign lives apart from
// the three fields, in `sign`, and applies to the whole angle. Angles are only ever
// compared through value(), the signed angle in seconds.
#ifndef GALSIFT_COORDS_ARC_H
#define GALSIFT_COORDS_ARC_H

struct arc {
    double degrees = 0; // whole part: degrees, or hours for a right ascension
    double minutes = 0; // minutes of arc or of time
    double seconds = 0; // seconds of arc or of time; fractions are normal
    int sign = 1;       // +1 or -1, applied to the whole angle

    double value() const;
    int corrector();
};

#endif
