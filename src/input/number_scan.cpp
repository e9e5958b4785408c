// The number conversions of input_file: "%d" and "%lg".
//
// Both first find how many bytes the conversion consumes, exactly as the C library's
// formatted input decides it (the longest prefix that can still begin a number, one byte
// of look-ahead), then convert those bytes. A failed conversion consumes what it matched
// but never the byte that made it fail. The plain decimals that make up a catalogue (seven
// numbers an entry, millions of entries) take a shorter path to the same bytes and value.
#include "input/input_file.h"

#include <cassert>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

static bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

static bool is_hex_digit(int c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

static int lower(int c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// How many bytes an optional sign at the next unread byte takes (0 or 1); `negative`
// tells whether it is a minus.
static std::size_t sign_length(input_file& in, bool& negative) {
    negative = in.peek(0) == '-';
    return negative || in.peek(0) == '+' ? 1 : 0;
}

// "%d": an optionally signed decimal integer. Digits that do not fit a 32-bit signed
// integer are consumed but count as unreadable: `value` is left as it was.
int input_file::read_int(int& value) {
    skip_space();
    if (peek(0) == EOF)
        return input_ended;
    bool negative = false;
    std::size_t n = sign_length(*this, negative);
    std::size_t first_digit = n;
    long long magnitude = 0;
    while (is_digit(peek(n))) {
        if (magnitude <= 2147483648LL)
            magnitude = magnitude * 10 + (peek(n) - '0');
        n++;
    }
    assert(start + n <= end); // each byte counted in `n` was peeked, so it is held
    start += n;
    if (n == first_digit)
        return item_unmatched;
    if (magnitude > (negative ? 2147483648LL : 2147483647LL))
        return item_unmatched; // beyond 32 bits: unreadable
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return item_converted;
}

#if (defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 200000) || defined(__i386__)
// Converts the `length` bytes at `text` that "%lg" consumed (no sign, no "0x"), exactly
// as strtod converts them. Returns false when not even a prefix is a number. Here strtod
// itself converts a copy: libc++ before version 20 has no floating-point from_chars, and
// i386's libstdc++ computes its from_chars in x87 extended precision, which rounds some
// numbers twice. The program never leaves the C locale, so strtod reads alike.
static bool convert(const char* text, std::size_t length, bool hex, double& value) {
    char* copy = static_cast<char*>(std::malloc(length + 3));
    if (!copy)
        return false; // no room to convert: the field keeps its value, as if unreadable
    std::size_t at = 0;
    if (hex) {
        copy[at++] = '0';
        copy[at++] = 'x';
    }
    std::memcpy(copy + at, text, length);
    copy[at + length] = 0;
    char* end = nullptr;
    value = std::strtod(copy, &end);
    bool converted = end != copy;
    std::free(copy);
    return converted;
}
#else
// Whether the digits of a number that the converter found out of range were too large
// (true) or too small (false): the sign of the position of the leading non-zero digit,
// counted from the radix point and moved by the exponent.
static bool too_large(const char* text, std::size_t length, bool hex) {
    std::size_t i = 0;
    long long position = 0; // of the leading non-zero digit, in digits
    bool seen_point = false, seen_nonzero = false;
    long long before_point = 0, zeros_after_point = 0;
    char exponent_char = hex ? 'p' : 'e';
    for (; i < length && lower(text[i]) != exponent_char; i++) {
        if (text[i] == '.') {
            seen_point = true;
        } else if (!seen_nonzero && text[i] == '0') {
            if (seen_point)
                zeros_after_point++;
        } else {
            seen_nonzero = true;
            if (!seen_point)
                before_point++;
        }
    }
    position = before_point > 0 ? before_point : -zeros_after_point;
    long long exponent = 0;
    bool exponent_negative = false;
    if (i < length) {
        i++;
        if (i < length && (text[i] == '-' || text[i] == '+'))
            exponent_negative = text[i++] == '-';
        for (; i < length && exponent < 1000000000LL; i++)
            exponent = exponent * 10 + (text[i] - '0');
    }
    long long scale = hex ? 4 : 1; // a hex digit is four binary places
    long long total = position * scale + (exponent_negative ? -exponent : exponent);
    return total > 0;
}

// Converts the `length` bytes at `text` that "%lg" consumed (no sign, no "0x"), exactly
// as strtod converts them. Returns false when not even a prefix is a number.
static bool convert(const char* text, std::size_t length, bool hex, double& value) {
    std::chars_format format = hex ? std::chars_format::hex : std::chars_format::general;
    auto result = std::from_chars(text, text + length, value, format);
    if (result.ec == std::errc::result_out_of_range) {
        value = too_large(text, static_cast<std::size_t>(result.ptr - text), hex)
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
        return true;
    }
    if (result.ec != std::errc()) {
        // "0x" with no digit after it still converts its "0".
        value = 0.0;
        return hex;
    }
    return true;
}
#endif

// Matches `word` case-insensitively from `n` on; returns how many of its bytes matched.
static std::size_t match_word(input_file& in, std::size_t n, const char* word) {
    std::size_t i = 0;
    while (word[i] && lower(in.peek(n + i)) == word[i])
        i++;
    return i;
}

// `mantissa` / 10^`fraction_digits` as one correctly rounded division, which is the value
// strtod gives, when both are exact doubles and the division is done in double precision.
// Returns false when that cannot be promised.
static bool exact_quotient(std::uint64_t mantissa, std::size_t fraction_digits, double& value) {
#if FLT_EVAL_METHOD == 0
    static const double powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (mantissa <= (std::uint64_t(1) << 53) && fraction_digits <= 22) {
        value = static_cast<double>(mantissa) / powers_of_ten[fraction_digits];
        return true;
    }
#else
    (void)mantissa;
    (void)fraction_digits;
    (void)value;
#endif
    return false;
}

// The fast side of "%lg", for the numbers a catalogue is made of: an optional sign, digits,
// and optionally a point followed by digits, at most 19 digits in all and their value at
// most 2^53 once the point is dropped, followed by a byte already in the buffer (or the end
// of the file) that cannot continue a number. Converts and consumes such a number, with
// the value "%lg" gives, and returns true; returns false, having consumed nothing, for
// anything else, which the general path then reads. The zero byte after the buffered bytes
// ends every scan below. Inline, so that read_double, its one caller, takes it in: as a
// call of its own it cost a seventh more instructions over a whole catalogue.
inline bool input_file::read_plain_double(double& value) {
    const char* from = buffer + start;
    const char* p = from;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    const char* digits = p;
    std::uint64_t mantissa = 0;
    while (is_digit(*p))
        mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    std::size_t whole_digits = static_cast<std::size_t>(p - digits);
    std::size_t fraction_digits = 0;
    if (whole_digits > 0 && *p == '.') {
        const char* fraction = ++p;
        while (is_digit(*p))
            mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
        fraction_digits = static_cast<std::size_t>(p - fraction);
        if (fraction_digits == 0)
            return false;
    }
    if (whole_digits == 0 || whole_digits + fraction_digits > 19)
        return false;
    int next = lower(*p);
    if (p == buffer + end ? !at_end : (next == '.' || next == 'e' || next == 'x'))
        return false;
    double converted;
    if (!exact_quotient(mantissa, fraction_digits, converted))
        return false;
    assert(p <= buffer + end);
    start += static_cast<std::size_t>(p - from);
    value = negative ? -converted : converted;
    return true;
}

// "%lg": a floating-point number in decimal or hexadecimal form, or inf, infinity, nan,
// optionally signed.
int input_file::read_double(double& value) {
    skip_space();
    return read_plain_double(value) ? item_converted : read_any_double(value);
}

// "%lg" once white space is skipped, for every form the plain path does not take.
int input_file::read_any_double(double& value) {
    if (peek(0) == EOF)
        return input_ended;
    bool negative = false;
    std::size_t n = sign_length(*this, negative);
    std::size_t body = n; // first byte after the sign
    int c = lower(peek(n));
    if (c == 'n' || c == 'i') {
        const char* word = c == 'n' ? "nan" : "inf";
        std::size_t matched = match_word(*this, n, word);
        if (matched < 3) {
            start += n + matched;
            return item_unmatched;
        }
        n += 3;
        if (c == 'i' && lower(peek(n)) == 'i') {
            matched = match_word(*this, n, "inity");
            n += matched;
            if (matched < 5) {
                start += n;
                return item_unmatched;
            }
        }
        start += n;
        double special = c == 'n' ? std::numeric_limits<double>::quiet_NaN()
                                  : std::numeric_limits<double>::infinity();
        value = negative ? -special : special;
        return item_converted;
    }
    bool hex = false, got_digit = false, got_dot = false, got_exponent = false;
    if (peek(n) == '0') {
        n++;
        if (lower(peek(n)) == 'x') {
            hex = true;
            n++;
        } else {
            got_digit = true;
        }
    }
    std::size_t digits = n; // first byte after the sign and any "0x"
    char exponent_char = hex ? 'p' : 'e';
    for (;; n++) {
        c = peek(n);
        if (is_digit(c) || (hex && !got_exponent && is_hex_digit(c))) {
            got_digit = true;
        } else if (got_exponent && lower(peek(n - 1)) == exponent_char && (c == '-' || c == '+')) {
        } else if (got_digit && !got_exponent && lower(c) == exponent_char) {
            got_exponent = got_dot = true;
        } else if (!got_dot && c == '.') {
            got_dot = true;
        } else {
            break;
        }
    }
    assert(start + n <= end); // each byte counted in `n` was peeked, so it is held
    start += n;
    if (n == body || (hex && n == digits))
        return item_unmatched;
    double converted;
    const char* text = buffer + start - n + (hex ? digits : body);
    std::size_t length = n - (hex ? digits : body);
    if (!convert(text, length, hex, converted))
        return item_unmatched;
    value = negative ? -converted : converted;
    return item_converted;
}
