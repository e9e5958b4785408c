// Integer and general floating-point conversions, left-justified in a field.
#include "page/number_format.h"

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

// "%-W.Pg": the general form with `precision` significant digits, left-justified in
// `width`; infinities and NaN read "inf", "-inf", "nan", "-nan".
std::size_t format_general(char* out, double value, int width, int precision) {
    std::size_t length;
    if (std::isnan(value)) {
        const char* word = std::signbit(value) ? "-nan" : "nan";
        length = std::strlen(word);
        std::memcpy(out, word, length);
    } else {
        auto result = std::to_chars(out, out + number_room, value, std::chars_format::general,
                                    precision);
        length = static_cast<std::size_t>(result.ptr - out);
    }
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
