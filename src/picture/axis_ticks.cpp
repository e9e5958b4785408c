// Choosing the marks of an axis and writing their labels.
#include "picture/axis_ticks.h"

#include <cassert>
#include <cmath>
#include <cstdio>

// Steps of a right ascension, in tenths of a second of time: from 0.2 s to 6 h.
static const long long ascension_steps[] = {2,     5,     10,    20,    50,     100,    150,
                                            200,   300,   600,   1200,  3000,   6000,   9000,
                                            12000, 18000, 36000, 72000, 108000, 144000, 216000};
// Steps of a declination, in tenths of a second of arc: from 1" to 45 degrees.
static const long long declination_steps[] = {
    10,   20,    50,    100,   150,   200,    300,    600,    1200,   3000,    6000,
    9000, 12000, 18000, 36000, 72000, 180000, 360000, 540000, 720000, 1080000, 1620000};

// The multiples of `step` in [low, high], all in the same unit, or none when there are
// more than `most`.
static bool multiples(double low, double high, double step, int most, long long& first,
                      long long& last) {
    first = static_cast<long long>(std::ceil(low / step));
    last = static_cast<long long>(std::floor(high / step));
    return last - first + 1 <= most;
}

// "hh:mm:ss" or "+dd:mm:ss" of `tenths` of a second (a tenth shown when `fraction`).
static std::string sexagesimal(long long tenths, bool sign, bool fraction) {
    long long whole = std::llabs(tenths);
    char text[40];
    int used = std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld",
                             sign ? (tenths < 0 ? "-" : "+") : "", whole / 36000, whole / 600 % 60,
                             whole / 10 % 60);
    if (fraction)
        std::snprintf(text + used, sizeof text - static_cast<std::size_t>(used), ".%lld",
                      whole % 10);
    return text;
}

// The marks of [low, high] (seconds) at the finest of `steps` (tenths) that gives at most
// `most`.
static std::vector<axis_tick> angle_ticks(double low, double high, int most, const long long* steps,
                                          std::size_t count, bool sign) {
    assert(low <= high && most >= 2);
    std::vector<axis_tick> ticks;
    for (std::size_t n = 0; n < count; n++) {
        long long first, last;
        if (!multiples(low * 10, high * 10, static_cast<double>(steps[n]), most, first, last) &&
            n + 1 < count)
            continue;
        for (long long k = first; k <= last; k++) {
            long long tenths = k * steps[n];
            ticks.push_back(
                {static_cast<double>(tenths) / 10, sexagesimal(tenths, sign, steps[n] < 10)});
        }
        break;
    }
    return ticks;
}

std::vector<axis_tick> ascension_ticks(double low, double high, int most) {
    return angle_ticks(low, high, most, ascension_steps,
                       sizeof ascension_steps / sizeof *ascension_steps, false);
}

std::vector<axis_tick> declination_ticks(double low, double high, int most) {
    return angle_ticks(low, high, most, declination_steps,
                       sizeof declination_steps / sizeof *declination_steps, true);
}

std::vector<axis_tick> decimal_ticks(double low, double high, int most) {
    assert(low <= high && most >= 2);
    double span = high > low ? high - low : std::fabs(low) > 0 ? std::fabs(low) : 1;
    int power = static_cast<int>(std::floor(std::log10(span / most)));
    for (;; power++) {
        for (int mantissa : {1, 2, 5}) {
            double step = mantissa * std::pow(10.0, power);
            long long first, last;
            if (!multiples(low, high, step, most, first, last))
                continue;
            int decimals = power < 0 ? -power : 0;
            std::vector<axis_tick> ticks;
            for (long long k = first; k <= last; k++) {
                char text[40];
                double value = static_cast<double>(k) * step;
                std::snprintf(text, sizeof text, "%.*f", decimals, value);
                ticks.push_back({value, text});
            }
            return ticks;
        }
    }
}
