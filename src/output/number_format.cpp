// Integer and general floating-point conversions, left-justified in a field.
#include "output/number_format.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

// Pads the `length` bytes at `out` with spaces on the right up to `width`.
static std::size_t pad_right(char* out, std::size_t length, int width) {
    std::size_t field = static_cast<std::size_t>(width);
    if (length >= field)
        return length;
    std::memset(out + length, ' ', field - length);
    return field;
}

// Writes the decimal digits of `magnitude`, zero-padded to at least `digits`.
static std::size_t put_digits(char* out, unsigned long long magnitude, int digits) {
    char reversed[24];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    std::size_t length = 0;
    for (std::size_t n = count; n < static_cast<std::size_t>(digits); n++)
        out[length++] = '0';
    while (count)
        out[length++] = reversed[--count];
    return length;
}

// "%-W.Di": a signed decimal of at least `digits` digits, left-justified in `width`.
std::size_t format_signed(char* out, int value, int width, int digits) {
    std::size_t length = 0;
    long long wide = value;
    if (wide < 0) {
        out[length++] = '-';
        wide = -wide;
    }
    length += put_digits(out + length, static_cast<unsigned long long>(wide), digits);
    return pad_right(out, length, width);
}

// "%-W.Du": an unsigned decimal of at least `digits` digits, left-justified in `width`.
std::size_t format_unsigned(char* out, unsigned value, int width, int digits) {
    return pad_right(out, put_digits(out, value, digits), width);
}

// Powers of ten that doubles hold exactly.
static const double exact_powers_of_ten[] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5,  1e6,
                                             1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13};

// The decimal exponent of `magnitude`, from -4 to 8: the largest X with 10^X <= magnitude.
// Each literal below 1 is the nearest double above its power of ten, so comparing with it
// compares with the power itself.
static int decimal_exponent(double magnitude) {
    static const double small_powers[] = {1e-3, 1e-2, 1e-1};
    int exponent = -4;
    for (double power : small_powers) {
        if (magnitude < power)
            return exponent;
        exponent++;
    }
    while (exponent < 8 && magnitude >= exact_powers_of_ten[exponent + 1])
        exponent++;
    return exponent;
}

// "%.Pg" without its padding, for the values a table holds: `precision` from 1 to 9 and a
// magnitude whose rounding keeps the fixed form (decimal exponent -4 to precision - 1).
// The value is scaled by an exact power of ten in one rounded product, whose error is far
// below 1e-6, and rounded to an integer; a fraction within 1e-6 of one half could round
// either way and is left to the general path, like every other value. Returns the number
// of bytes written, or 0 when the general path must write the value.
static std::size_t format_fixed_general(char* out, double value, int precision) {
    double magnitude = std::fabs(value);
    if (precision < 1 || precision > 9 || !(magnitude >= 1e-4 && magnitude < 1e9))
        return 0;
    int exponent = decimal_exponent(magnitude);
    int decimals = precision - 1 - exponent;
    if (decimals < 0)
        return 0;
    double scaled = magnitude * exact_powers_of_ten[decimals];
    double whole = std::floor(scaled);
    double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6)
        return 0;
    auto digits = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == static_cast<unsigned long long>(exact_powers_of_ten[precision])) {
        if (decimals == 0)
            return 0; // rounds up to 10^precision: the exponent form
        digits /= 10;
        decimals--;
    }
    auto unit = static_cast<unsigned long long>(exact_powers_of_ten[decimals]);
    unsigned long long fractional = digits % unit;
    int kept = decimals;
    while (kept > 0 && fractional % 10 == 0) {
        fractional /= 10;
        kept--;
    }
    std::size_t length = 0;
    if (value < 0)
        out[length++] = '-';
    length += put_digits(out + length, digits / unit, 1);
    if (kept > 0) {
        out[length++] = '.';
        length += put_digits(out + length, fractional, kept);
    }
    return length;
}

// "%.Pg" without its padding, for any value; infinities and NaN read "inf", "-inf", "nan",
// "-nan". Returns the number of bytes written.
static std::size_t format_any_general(char* out, double value, int precision) {
    if (std::isnan(value)) {
        const char* word = std::signbit(value) ? "-nan" : "nan";
        std::size_t length = std::strlen(word);
        std::memcpy(out, word, length);
        return length;
    }
    auto result =
        std::to_chars(out, out + number_room, value, std::chars_format::general, precision);
    return static_cast<std::size_t>(result.ptr - out);
}

// "%-W.Pg": the general form with `precision` significant digits, left-justified in
// `width`.
std::size_t format_general(char* out, double value, int width, int precision) {
    std::size_t length = format_fixed_general(out, value, precision);
    if (length == 0)
        length = format_any_general(out, value, precision);
    return pad_right(out, length, width);
}

// An angle field as the integer the page shows: truncated toward zero, saturated at the
// ends of the 32-bit range, and 0 for NaN.
int whole_part(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(value);
}
