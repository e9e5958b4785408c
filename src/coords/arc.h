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

// The signed angle in seconds: sign * (degrees*3600 + minutes*60 + seconds), computed in
// 64-bit doubles in exactly this order, so that a record and a bound written alike
// compare equal on every platform. Inline: the selection calls it for every record.
inline double arc::value() const {
    double whole = degrees * 3600.0 + minutes * 60.0;
    whole = whole + seconds;
    return sign * whole;
}

#endif
