// A double held in four bytes where it can be: as a decimal mantissa and scale that give
// back the very same double. A catalogue's fields are written with a few decimals
// ("32.81", "-05", "1.3061"), so nearly every one fits.
//
// mantissa / 10^scale, both exact doubles, is correctly rounded, as reading the decimal
// text is: the two agree bit for bit whenever the pair was chosen by decimal_scale.
#ifndef GALSIFT_STORE_COMPACT_NUMBER_H
#define GALSIFT_STORE_COMPACT_NUMBER_H

#include <cstdint>

// The scale that says a value is held elsewhere, not as a mantissa.
const int no_scale = 15;

// Powers of ten, each an exact double.
inline const double powers_of_ten[no_scale] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6, 1e7,
                                               1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14};

// The smallest scale from 0 to 14 with a 32-bit `mantissa` for which
// mantissa / 10^scale is `value` bit for bit; no_scale when there is none (NaN, infinity,
// negative zero, too many digits or too large).
int decimal_scale(double value, std::int32_t& mantissa);

// The value of a mantissa and a scale below no_scale.
inline double decimal_value(std::int32_t mantissa, int scale) {
    return static_cast<double>(mantissa) / powers_of_ten[scale];
}

#endif
