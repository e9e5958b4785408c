// Finding the decimal form of a double.
#include "store/compact_number.h"

#include <cmath>
#include <cstring>

// Whether two doubles are the same bits (so that -0 is not 0, and NaN is never matched).
static bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

int decimal_scale(double value, std::int32_t& mantissa) {
    if (!std::isfinite(value) || std::fabs(value) >= 2147483647.0)
        return no_scale;
    for (int scale = 0; scale < no_scale; scale++) {
        double scaled = std::nearbyint(value * powers_of_ten[scale]);
        if (std::fabs(scaled) > 2147483647.0)
            return no_scale;
        auto candidate = static_cast<std::int32_t>(scaled);
        if (same_bits(decimal_value(candidate, scale), value)) {
            mantissa = candidate;
            return scale;
        }
    }
    return no_scale;
}
