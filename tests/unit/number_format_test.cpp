// Numbers as the page writes them, against glibc's printf with the page's conversions;
// the integer an angle field is shown as; and the buffered page writer.
#include "output/number_format.h"
#include "output/page_writer.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const double infinity = std::numeric_limits<double>::infinity();
const double not_a_number = std::numeric_limits<double>::quiet_NaN();

// What printf writes for one value.
template <class T> std::string printed(const char* format, T value) {
    char text[128];
    int length = std::snprintf(text, sizeof text, format, value);
    return std::string(text, static_cast<std::size_t>(length));
}

template <class T, class F> std::string ours(F format, T value, int width, int digits) {
    char text[number_room];
    return std::string(text, format(text, value, width, digits));
}

// `text` with every CR LF read as LF.
[[maybe_unused]] std::string without_carriage_returns(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); i++)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    return out;
}

// The integers worth a look, then a random sample of the whole range.
std::vector<std::int64_t> integers() {
    std::vector<std::int64_t> list = {
        0,    1,       -1,      5,           -5,          9,        10,          -10,    99,
        100,  -100,    999,     9999,        10000,       99999,    100000,      -99999, 1950,
        2000, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1, UINT_MAX, 4294967294LL};
    std::mt19937 random(11);
    for (int i = 0; i < 100000; i++)
        list.push_back(i % 2 ? static_cast<std::int64_t>(random())
                             : static_cast<std::int64_t>(random() % 20001) - 10000);
    return list;
}

// Doubles of every kind: special values, values that round across a power of ten at four
// and six digits, and random values of every magnitude and sign.
std::vector<double> doubles() {
    const double least = std::numeric_limits<double>::denorm_min();
    // Special values, the ends of the range, plain values, values that round up a digit.
    std::vector<double> list = {
        0.0,          -0.0,         infinity,  -infinity,    not_a_number,  -not_a_number,
        DBL_MAX,      -DBL_MAX,     DBL_MIN,   -DBL_MIN,     least,         -least,
        0.5,          2.345,        30.5,      0.0001,       0.00001,       100000,
        1000000,      1e15,         9.9999995, 99999.95,     0.00099999995, 9.9995,
        99995,        999999.5,     123456789, 2147483647.0, 2147483648.0,  -2147483648.0,
        2147483647.5, -2147483649.0};
    for (int exponent = -325; exponent <= 308; exponent++)
        for (const char* digits : {"9.9995", "9.999995", "1", "9.9994999999999", "5"}) {
            double edge = std::strtod((digits + ("e" + std::to_string(exponent))).c_str(), nullptr);
            double below = edge, above = edge;
            for (int step = 0; step < 3; step++) {
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, infinity);
                list.insert(list.end(), {edge, below, above, -edge, -below, -above});
            }
        }
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> small(-100, 100);
    for (int i = 0; i < 60000; i++) {
        std::uint64_t pattern = random();
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        list.push_back(value); // infinities and NaNs of every payload included
        list.push_back(small(random));
        double scale = small(random);
        list.push_back(std::ldexp(scale, static_cast<int>(random() % 2200) - 1100));
        // Decimal ties one digit past four or six digits ("1.23455e-3"), and binary
        // fractions, among them exact ties that must round to even.
        std::string tie = std::to_string(random() % 10000000 * 10 + 5);
        int exponent = static_cast<int>(random() % 16) - 8;
        list.push_back(std::strtod((tie + "e" + std::to_string(exponent)).c_str(), nullptr));
        double numerator = static_cast<double>(random() % (1u << 24));
        list.push_back(std::ldexp(numerator, -static_cast<int>(random() % 30)));
    }
    return list;
}

} // namespace

TEST(NumberFormat, IntegersAsPrintfWritesThem) {
#ifndef __GLIBC__
    GTEST_SKIP() << "the reference is glibc's printf";
#endif
    std::size_t checked = 0, failed = 0;
    for (std::int64_t value : integers()) {
        int signed_value = static_cast<int>(static_cast<std::uint32_t>(value));
        unsigned unsigned_value = static_cast<unsigned>(value);
        struct {
            std::string got, expected;
        } results[] = {
            {ours(format_signed, signed_value, 5, 1), printed("%-5.1i", signed_value)},
            {ours(format_signed, signed_value, 2, 2), printed("%-2.2i", signed_value)},
            {ours(format_unsigned, unsigned_value, 2, 2), printed("%-2.2u", unsigned_value)},
        };
        for (const auto& r : results) {
            checked++;
            if (r.got != r.expected && ++failed <= 20)
                ADD_FAILURE() << value << ": \"" << r.got << "\", printf \"" << r.expected << "\"";
        }
    }
    EXPECT_EQ(failed, 0u);
    std::printf("[ checked  ] %zu integer conversions\n", checked);
}

// NaN is written "nan" or "-nan" by its sign, as glibc writes it.
TEST(NumberFormat, GeneralFormAsPrintfWritesIt) {
#ifndef __GLIBC__
    GTEST_SKIP() << "the reference is glibc's printf";
#endif
    std::size_t checked = 0, failed = 0;
    for (double value : doubles()) {
        struct {
            std::string got, expected;
        } results[] = {
            {ours(format_general, value, 6, 4), printed("%-6.4g", value)},
            {ours(format_general, value, 8, 6), printed("%-8.6g", value)},
        };
        for (const auto& r : results) {
            checked++;
            if (r.got != r.expected && ++failed <= 20)
                ADD_FAILURE() << printed("%a", value) << ": \"" << r.got << "\", printf \""
                              << r.expected << "\"";
        }
    }
    EXPECT_EQ(failed, 0u);
    std::printf("[ checked  ] %zu floating-point conversions\n", checked);
}

// The same bytes on every platform, where the platform's own printf may differ (some C
// runtimes drop the padding of "%-8.6g" after a six-digit whole number).
TEST(NumberFormat, PageNumbersOnEveryPlatform) {
    struct {
        double value;
        const char *general_8_6, *general_6_4;
    } cases[] = {
        {30.5, "30.5    ", "30.5  "},          {0, "0       ", "0     "},
        {-0.0, "-0      ", "-0    "},          {100000, "100000  ", "1e+05 "},
        {2.345, "2.345   ", "2.345 "},         {123456789, "1.23457e+08", "1.235e+08"},
        {1e-05, "1e-05   ", "1e-05 "},         {9.9999995, "10      ", "10    "},
        {0.00099999995, "0.001   ", "0.001 "}, {1e300, "1e+300  ", "1e+300"},
        {infinity, "inf     ", "inf   "},      {-infinity, "-inf    ", "-inf  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ours(format_general, c.value, 8, 6), c.general_8_6) << c.general_8_6;
        EXPECT_EQ(ours(format_general, c.value, 6, 4), c.general_6_4) << c.general_6_4;
    }
    EXPECT_EQ(ours(format_signed, 5, 2, 2), "05");
    EXPECT_EQ(ours(format_signed, -5, 2, 2), "-05");
    EXPECT_EQ(ours(format_signed, 2000, 5, 1), "2000 ");
    EXPECT_EQ(ours(format_unsigned, 4294967295u, 2, 2), "4294967295");
    EXPECT_EQ(ours(format_unsigned, 0u, 2, 2), "00");
}

TEST(NumberFormat, WholePartTruncatesAndSaturates) {
    const double least = std::numeric_limits<double>::denorm_min();
    struct {
        double value;
        int whole;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {30.9, 30},
        {-30.9, -30},
        {0.999, 0},
        {-0.999, 0},
        {59.999999, 59},
        {least, 0},
        {-least, 0},
        {2147483646.5, 2147483646},
        {-2147483647.5, -2147483647},
        {2147483647.0, INT_MAX},
        {2147483647.9, INT_MAX},
        {2147483648.0, INT_MAX},
        {1e300, INT_MAX},
        {infinity, INT_MAX},
        {-2147483648.0, INT_MIN},
        {-2147483648.9, INT_MIN},
        {-2147483649.0, INT_MIN},
        {-1e300, INT_MIN},
        {-infinity, INT_MIN},
        {not_a_number, 0},
        {-not_a_number, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(whole_part(c.value), c.whole) << printed("%a", c.value);
}

using PageWriter = scratch_dir;

// Every byte handed to the writer reaches the file in order, whatever the pieces' sizes
// and wherever they meet the end of the buffer.
TEST_F(PageWriter, WritesEveryPieceInOrder) {
    auto writer = std::make_unique<page_writer>();
    ASSERT_TRUE(writer->create("results.html"));
    std::string expected;
    std::mt19937 random(9);
    const std::size_t size = page_writer::size;
    const std::size_t lengths[] = {0, 1, 7, size - 3, size - 1, size, size + 1, 3 * size + 5};
    for (int i = 0; i < 20000; i++) {
        switch (random() % 5) {
        case 0: {
            std::size_t length = i % 50 == 0 ? lengths[random() % 8] : random() % 300;
            std::string text(length, static_cast<char>('a' + i % 26));
            if (length > 2)
                text[1] = '%';
            writer->put(text.data(), text.size());
            expected += text;
            break;
        }
        case 1:
            writer->put("<td align=\"100%% \">\n");
            expected += "<td align=\"100%% \">\n";
            break;
        case 2: {
            int value = static_cast<int>(random());
            writer->put_signed(value, 5, 1);
            expected += ours(format_signed, value, 5, 1);
            break;
        }
        case 3: {
            unsigned value = static_cast<unsigned>(random());
            writer->put_unsigned(value, 2, 2);
            expected += ours(format_unsigned, value, 2, 2);
            break;
        }
        default: {
            double mantissa = static_cast<double>(random());
            double value = std::ldexp(mantissa, static_cast<int>(random() % 80) - 60);
            writer->put_general(i % 2 ? -value : value, 8, 6);
            expected += ours(format_general, i % 2 ? -value : value, 8, 6);
        }
        }
    }
    EXPECT_TRUE(writer->finish());
    std::string written = read_file("results.html");
#ifdef _WIN32
    written = without_carriage_returns(written); // the page is a text-mode stream there
#endif
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
}

// A page that cannot be created, or whose bytes cannot all be written, is known as such.
TEST_F(PageWriter, NoticesFailures) {
    auto writer = std::make_unique<page_writer>();
    EXPECT_FALSE(writer->create("missing-folder/results.html"));

    const std::size_t lengths[] = {1, page_writer::size - 1, page_writer::size,
                                   3 * page_writer::size};
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fail the writes";
    for (std::size_t length : lengths) {
        ASSERT_TRUE(writer->create("/dev/full"));
        std::string text(length, 'x');
        writer->put(text.data(), text.size());
        writer->put_signed(12, 5, 1);
        EXPECT_FALSE(writer->finish()) << length << " bytes";
    }
}
