// The angle in seconds, the sign normalisation of catalogue declinations and the range
// check of the query's corners.
#include "coords/arc.h"
#include "coords/sky_coords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

static arc make_arc(double degrees, double minutes, double seconds, int sign = 1) {
    arc a;
    a.degrees = degrees;
    a.minutes = minutes;
    a.seconds = seconds;
    a.sign = sign;
    return a;
}

TEST(Arc, ValueIsSignedSeconds) {
    struct {
        arc angle;
        double seconds;
    } cases[] = {
        {arc(), 0},
        {make_arc(0, 2, 30, -1), -150},
        {make_arc(1, 1, 0.5), 3660.5},
        {make_arc(90, 0, 0, -1), -324000},
        {make_arc(24, 0, 0), 86400},
        {make_arc(12, 34, 56.789), 12 * 3600.0 + 34 * 60.0 + 56.789},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.angle.value(), c.seconds) << c.angle.degrees << " " << c.angle.minutes;
}

// The seconds are added to the sum of the two products, so a value written the same way
// in a bound and in a record gives the same double. In the angles below another order
// gives another double: 01:02:56.789 is 3776.789 this way and 3776.7889999999998 when the
// minutes and seconds are summed first; 01:17:33.333 is 4653.333 this way and
// 4653.3330000000005 when the seconds join the hours or the minutes first.
TEST(Arc, ValueAddsSecondsLast) {
    struct {
        arc angle;
        double seconds;
    } cases[] = {
        {make_arc(1, 2, 56.789), 3776.789},
        {make_arc(1, 17, 33.333), 4653.333},
        {make_arc(1, 17, 33.333, -1), -4653.333},
        {make_arc(-0.0, 30, 0, -1), -1800},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.angle.value(), c.seconds)
            << c.angle.degrees << ":" << c.angle.minutes << ":" << c.angle.seconds;
}

TEST(Arc, CorrectorMovesSignOfDegrees) {
    struct {
        double degrees;
        int sign;
        double result;
    } cases[] = {
        {-5, -1, 5},
        {5, 1, 5},
        {0.0, 1, 0},
        {-0.0, -1, 0},
        {-0.0000005, -1, 0},
        {0.000001, 1, 0},
        {-0.0000011, -1, 0.0000011},
        {-89.5, -1, 89.5},
    };
    for (const auto& c : cases) {
        arc a = make_arc(c.degrees, 30, 0);
        EXPECT_EQ(a.corrector(), 1);
        EXPECT_EQ(a.sign, c.sign) << c.degrees;
        EXPECT_EQ(a.degrees, c.result) << c.degrees;
        EXPECT_FALSE(std::signbit(a.degrees)) << c.degrees;
    }
}

TEST(SkyCoords, RangeCheckOfCorners) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct {
        arc declination, ascension;
        int verdict;
    } cases[] = {
        {make_arc(90, 0, 0), make_arc(24, 0, 0), 1},
        {make_arc(-90, 0, 0), make_arc(0, 0, 0), 1},
        {make_arc(89, 59, 59.99), make_arc(23, 59, 59.99), 1},
        {make_arc(-45, 0, 0), make_arc(12, 0, 0), 1},
        {make_arc(90, 0, 1), make_arc(0, 0, 0), 0},
        {make_arc(89, 60, 0), make_arc(0, 0, 0), 0},
        {make_arc(89.5, 0, 0), make_arc(0, 0, 0), 0},
        {make_arc(0, -1, 0), make_arc(0, 0, 0), 0},
        {make_arc(0, 0, -1), make_arc(0, 0, 0), 0},
        {make_arc(0, 0, 60), make_arc(0, 0, 0), 0},
        {make_arc(0, 0, 0), make_arc(24, 0, 1), 0},
        {make_arc(0, 0, 0), make_arc(12, 0, 60), 0},
        {make_arc(0, 0, 0), make_arc(23.5, 0, 0), 0},
        {make_arc(0, 0, 0), make_arc(12, 59.9, 0), 0},
        {make_arc(0, 0, 0), make_arc(-1, 0, 0), 0},
        {make_arc(nan, 0, 0), make_arc(0, 0, 0), 0},
        {make_arc(0, nan, 0), make_arc(0, 0, 0), 0},
        {make_arc(0, 0, 0), make_arc(0, 0, nan), 0},
        {make_arc(0, 0, 0), make_arc(nan, 0, 0), 0},
    };
    for (const auto& c : cases) {
        sky_coords corner{c.declination, c.ascension};
        EXPECT_EQ(corner.value_checker(), c.verdict)
            << c.declination.degrees << ":" << c.declination.minutes << ":" << c.declination.seconds
            << " " << c.ascension.degrees << ":" << c.ascension.minutes << ":"
            << c.ascension.seconds;
    }
}
