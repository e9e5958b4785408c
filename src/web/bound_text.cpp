// Reading one bound of the query box from the text a visitor typed, and checking it
// against the limits galsift itself checks, so that a wrong bound is named before
// galsift runs.
#include "web/bound_text.h"

#include "web/form.h"

#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>

// The unit marks that may end each part, for each kind of bound.
static const char* const ascension_units[3] = {"hH", "mM", "sS"};
static const char* const declination_units[3] = {"dD", "mM'", "sS\""};

// Microseconds in an hour (or a degree): a decimal bound is cut to whole microseconds.
static const long long micro_per_hour = 3600LL * 1000000;

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

static void skip_spaces(const std::string& text, std::size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        i++;
}

// Reads an unsigned number at `i` (digits with one '.', an optional exponent). Returns
// its text, or "" (with `i` anywhere) when there is none.
static std::string number_at(const std::string& text, std::size_t& i) {
    std::size_t start = i, n = text.size();
    while (i < n && (is_digit(text[i]) || text[i] == '.'))
        i++;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            j++;
        if (j < n && is_digit(text[j]))
            for (i = j; i < n && is_digit(text[i]); i++) {
            }
    }
    std::string number = text.substr(start, i - start);
    return is_number_text(number) ? number : "";
}

// Splits `text` into its sign and one to three parts, each ended by its unit mark, a ':'
// or spaces, and sets `marked` when the last part ends with its unit mark. Returns the
// number of parts, 0 when the text is not written so.
static int split(const std::string& text, bool declination, bound_text& out, bool& marked) {
    const char* const* units = declination ? declination_units : ascension_units;
    std::size_t i = 0, n = text.size();
    skip_spaces(text, i);
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (!declination)
            return 0;
        out.sign = text[i++];
        skip_spaces(text, i);
    }
    for (int parts = 0; parts < 3;) {
        std::string number = number_at(text, i);
        if (number.empty())
            return 0;
        out.part[parts++] = number;
        bool unit = i < n && text[i] != '\0' && std::strchr(units[parts - 1], text[i]);
        bool colon = !unit && i < n && text[i] == ':';
        if (unit || colon)
            i++;
        marked = unit;
        std::size_t before = i;
        skip_spaces(text, i);
        if (i == n)
            return colon ? 0 : parts;
        if (!unit && !colon && i == before)
            return 0;
    }
    return 0; // a fourth part
}

// Writes an angle of `micro` microseconds of time (of arc) as whole hours (degrees),
// minutes and seconds. `micro` is at most the top of its range.
static void write_micro(long long micro, bound_text& out) {
    assert(micro >= 0 && micro <= 90 * micro_per_hour);
    long long rest = micro % micro_per_hour;
    out.part[0] = std::to_string(micro / micro_per_hour);
    out.part[1] = std::to_string(rest / 60000000);
    long long seconds_micro = rest % 60000000;
    std::string fraction = std::to_string(1000000 + seconds_micro % 1000000).substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    out.part[2] =
        std::to_string(seconds_micro / 1000000) + (fraction.empty() ? "" : "." + fraction);
}

// `text` with each degree sign written as "d", the mark of degrees in every other form.
static std::string degree_signs_as_d(const std::string& text) {
    std::string out = text;
    for (std::size_t at; (at = out.find(degree_sign)) != std::string::npos;)
        out.replace(at, sizeof degree_sign - 1, "d");
    return out;
}

// Reads `text` as a right ascension in decimal degrees ("187.5d", spaces around it
// allowed) into `out`'s parts, in hours, minutes and seconds of time cut to microseconds.
// Returns nullptr when read, bound_reasons::ascension_degrees when it is beyond 360
// degrees, and bound_reasons::not_ascension when `text` is not written so.
static const char* read_ascension_degrees(const std::string& text, bound_text& out) {
    std::size_t i = 0;
    skip_spaces(text, i);
    std::string number = number_at(text, i);
    if (number.empty() || i == text.size() || (text[i] != 'd' && text[i] != 'D'))
        return bound_reasons::not_ascension;
    skip_spaces(text, ++i);
    if (i != text.size())
        return bound_reasons::not_ascension;
    double degrees = std::strtod(number.c_str(), nullptr);
    if (!(degrees <= 360))
        return bound_reasons::ascension_degrees;
    write_micro(std::llround(degrees * 240.0 * 1000000), out); // 1 degree is 240 s of time
    return nullptr;
}

// Reads `typed` as a right ascension, or a declination when `declination` is set, into
// `out`. Returns nullptr when it is a bound galsift accepts: the whole part from 0 to 23
// (89), or exactly 24:00:00 (90:00:00), minutes from 0 to 59, seconds below 60; a right
// ascension in decimal degrees from 0 to 360. Else returns the reason, one of
// bound_reasons: bare_ascension for a right ascension of one part without its unit.
const char* read_bound(const std::string& typed, bool declination, bound_text& out) {
    out = bound_text{};
    if (typed.find_first_not_of(" \t") == std::string::npos)
        return bound_reasons::empty;
    std::string text = degree_signs_as_d(typed);
    bool marked = false;
    int parts = split(text, declination, out, marked);
    double top = declination ? 90 : 24;
    if (parts == 0 && !declination) {
        out = bound_text{};
        const char* reason = read_ascension_degrees(text, out);
        if (reason)
            return reason;
    } else if (parts == 0) {
        return bound_reasons::not_declination;
    } else if (parts == 1) {
        if (!declination && !marked)
            return bound_reasons::bare_ascension;
        double whole = std::strtod(out.part[0].c_str(), nullptr);
        if (!(whole <= top))
            return declination ? bound_reasons::degrees : bound_reasons::hours;
        write_micro(std::llround(whole * static_cast<double>(micro_per_hour)), out);
    }
    for (int i = parts > 1 ? parts : 3; i < 3; i++)
        out.part[i] = "0";
    double whole = std::strtod(out.part[0].c_str(), nullptr);
    double minutes = std::strtod(out.part[1].c_str(), nullptr);
    double seconds = std::strtod(out.part[2].c_str(), nullptr);
    if (!(whole == top && minutes == 0 && seconds == 0)) {
        if (whole > top - 1)
            return declination ? bound_reasons::degrees : bound_reasons::hours;
        if (minutes > 59)
            return bound_reasons::minutes;
        if (seconds >= 60)
            return bound_reasons::seconds;
    }
    double value = whole * 3600.0 + minutes * 60.0;
    value = value + seconds;
    out.value = out.sign == '-' ? -value : value;
    return nullptr;
}
