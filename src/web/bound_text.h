// One bound of the query box typed as one text: a right ascension in hours, minutes and
// seconds of time, or a declination in degrees, minutes and seconds of arc with its sign.
//
// Written forms: "13:04:50.5", "13 04 50.5", "13h04m50.5s" (and "d" or the degree sign,
// "'" and '"' for a declination: "12d30m00s"); one or two parts leave the rest 0
// ("13:04"). A single part is a decimal number: a declination's is degrees ("-0.5"), but
// a right ascension's must say its unit, since tools differ in what a bare one means:
// "12.5h" is hours, "187.5d" or "187.5°" (the UTF-8 degree sign) degrees. Only a
// declination has a sign, and it may stand only before the first part.
#ifndef GALSIFT_WEB_BOUND_TEXT_H
#define GALSIFT_WEB_BOUND_TEXT_H

#include <string>

struct bound_text {
    char sign = '+';     // '+' or '-': the whole angle's sign (a declination's only)
    std::string part[3]; // hours (degrees), minutes, seconds, as galsift reads them
    double value = 0;    // the signed angle in seconds, as galsift compares it
};

// The reasons a bound is refused (each follows the field's label on the form).
namespace bound_reasons {
inline const char empty[] = "is empty";
inline const char not_ascension[] =
    "is not a right ascension: write 13:04:50.5, 13 04 50.5, 13h04m50.5s, 12.5h or 187.5d";
inline const char bare_ascension[] = "has no unit: write 12.5h for hours or 187.5d for degrees";
inline const char not_declination[] =
    "is not a declination: write +12:30:00, -0 30 0, 12d30m00s or decimal degrees";
inline const char hours[] = "hours must be from 0 to 23, or the whole bound 24:00:00";
inline const char ascension_degrees[] = "degrees must be from 0 to 360";
inline const char degrees[] = "degrees must be from 0 to 89, or the whole bound 90:00:00";
inline const char minutes[] = "minutes must be from 0 to 59";
inline const char seconds[] = "seconds must be below 60";
} // namespace bound_reasons

// The degree sign, U+00B0, in UTF-8: the one character beyond ASCII a bound may hold.
inline const char degree_sign[] = "\xC2\xB0";

const char* read_bound(const std::string& text, bool declination, bound_text& out);

#endif
