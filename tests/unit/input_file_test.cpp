// The input primitive of the three readers: what each conversion returns, what it stores,
// where the next read starts, and reading a file across its 1 MiB blocks.
#include "input/input_file.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

const std::size_t block = 1 << 20; // the reader's block size
const int int_unchanged = 555;
const double double_unchanged = -3.75;
const double infinity = std::numeric_limits<double>::infinity();
const double not_a_number = std::numeric_limits<double>::quiet_NaN();

// The byte the next "%c" gets, or -1 at the end of the input.
int next_byte(input_file& in) {
    char c;
    return in.read_char(c) == 1 ? static_cast<unsigned char>(c) : -1;
}

// Same value: bit for bit, except that any NaN equals a NaN of the same sign.
bool same(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// Runs `read` on `text` held in memory; returns its count and the next byte after it.
template <class Read> std::pair<int, int> on_memory(const std::string& text, Read read) {
    input_file in;
    EXPECT_TRUE(in.open_memory(text.data(), text.size()));
    int count = read(in);
    int next = next_byte(in);
    EXPECT_TRUE(in.close());
    return {count, next};
}

} // namespace

TEST(InputFile, CharacterReadsAndWhiteSpace) {
    enum op { read_char, skip_char, skip_space };
    struct {
        std::string text;
        op what;
        int count; // for skip_space: unused
        int got;   // the byte read_char stored, or -1 when it stored none
        int next;
    } cases[] = {
        {"", read_char, -1, -1, -1},        {"a", read_char, 1, 'a', -1},
        {" x", read_char, 1, ' ', 'x'},     {"\n\n", read_char, 1, '\n', '\n'},
        {"\xff", read_char, 1, 0xff, -1},   {std::string("\0z", 2), read_char, 1, 0, 'z'},
        {"", skip_char, -1, -1, -1},        {"ab", skip_char, 0, -1, 'b'},
        {" b", skip_char, 0, -1, 'b'},      {" \t\n\v\f\rX", skip_space, 0, -1, 'X'},
        {"X ", skip_space, 0, -1, 'X'},     {"", skip_space, 0, -1, -1},
        {" \r\n ", skip_space, 0, -1, -1},  {"\xa0X", skip_space, 0, -1, 0xa0},
        {"\x85X", skip_space, 0, -1, 0x85}, {"\x1cX", skip_space, 0, -1, 0x1c},
        {"\bX", skip_space, 0, -1, '\b'},   {std::string(" \0 X", 4), skip_space, 0, -1, 0},
    };
    for (const auto& c : cases) {
        char got = '#';
        auto [count, next] = on_memory(c.text, [&](input_file& in) {
            return c.what == read_char   ? in.read_char(got)
                   : c.what == skip_char ? in.skip_char()
                                         : (in.skip_space(), 0);
        });
        EXPECT_EQ(count, c.count) << c.text;
        EXPECT_EQ(next, c.next) << c.text;
        EXPECT_EQ(got, c.got < 0 ? '#' : static_cast<char>(c.got)) << c.text;
    }
}

// White space is exactly isspace() of the C locale: \v, \f and \r too, and no byte above
// 127, whatever the platform's locale would say about 0x85 or 0xa0.
TEST(InputFile, WhiteSpaceIsTheCLocaleSet) {
    for (int byte = 0; byte < 256; byte++) {
        bool space = std::isspace(byte) != 0; // the test runs in the C locale
        std::string text = {static_cast<char>(byte), '7'};
        auto skipped = on_memory(text, [](input_file& in) { return in.skip_space(), 0; });
        EXPECT_EQ(skipped.second, space ? '7' : byte) << "byte " << byte;
        if (std::isdigit(byte) || byte == '+' || byte == '-')
            continue; // these begin a number themselves
        int value = int_unchanged;
        auto read = on_memory(text, [&](input_file& in) { return in.read_int(value); });
        EXPECT_EQ(read.first, space ? 1 : 0) << "byte " << byte;
        EXPECT_EQ(value, space ? 7 : int_unchanged) << "byte " << byte;
    }
}

TEST(InputFile, ReadIntCountsValueAndNextByte) {
    const int same_as_before = int_unchanged;
    struct {
        std::string text;
        int count, value, next;
    } cases[] = {
        {"42", 1, 42, -1},
        {"  \n\t-17x", 1, -17, 'x'},
        {"+5", 1, 5, -1},
        {"007 ", 1, 7, ' '},
        {"1.5", 1, 1, '.'},
        {"12:30", 1, 12, ':'},
        {"0x10", 1, 0, 'x'},
        {"", -1, same_as_before, -1},
        {" \n\v ", -1, same_as_before, -1},
        {"x", 0, same_as_before, 'x'},
        {"-", 0, same_as_before, -1},
        {"-x", 0, same_as_before, 'x'},
        {"+-5", 0, same_as_before, '-'},
        {"\xa0"
         "5",
         0, same_as_before, 0xa0},
        {"2147483647", 1, INT_MAX, -1},
        {"-2147483648", 1, INT_MIN, -1},
        {"00000000000000000000002147483647", 1, INT_MAX, -1},
        {"-00000000000000000000002147483648", 1, INT_MIN, -1},
        // Beyond 32 bits: unreadable, but every digit is consumed.
        {"2147483648$", 0, same_as_before, '$'},
        {"-2147483649$", 0, same_as_before, '$'},
        {"4294967296 ", 0, same_as_before, ' '},
        {"4294967338 ", 0, same_as_before, ' '}, // 2^32 + 42 must not wrap to 42
        {"9223372036854775808:", 0, same_as_before, ':'},
        {"99999999999999999999999999 7", 0, same_as_before, ' '},
        {"-" + std::string(500, '9') + "=", 0, same_as_before, '='},
    };
    for (const auto& c : cases) {
        int value = int_unchanged;
        auto [count, next] = on_memory(c.text, [&](input_file& in) { return in.read_int(value); });
        EXPECT_EQ(count, c.count) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(next, c.next) << c.text;
    }
}

TEST(InputFile, ReadDoubleCountsValueAndNextByte) {
    const double same_as_before = double_unchanged;
    const double least = std::numeric_limits<double>::denorm_min();
    struct {
        std::string text;
        int count;
        double value;
        int next;
    } cases[] = {
        {"1.5", 1, 1.5, -1},
        {" \v\f\r\n\t-2.5e3;", 1, -2500, ';'},
        {"-0", 1, -0.0, -1},
        {"+0.0e0", 1, 0.0, -1},
        {".5", 1, 0.5, -1},
        {"5.", 1, 5, -1},
        {"5.x", 1, 5, 'x'},
        {"00012", 1, 12, -1},
        {"12:34", 1, 12, ':'},
        {"1E5", 1, 1e5, -1},
        {"1e", 1, 1, -1},  // the "e" is consumed although no exponent follows
        {"1e+", 1, 1, -1}, // so are the "e" and its sign
        {"1e+x", 1, 1, 'x'},
        {"1.2.3", 1, 1.2, '.'},
        {".", 0, same_as_before, -1},
        {"..", 0, same_as_before, '.'},
        {"+.", 0, same_as_before, -1},
        {"-", 0, same_as_before, -1},
        {"-x", 0, same_as_before, 'x'},
        {"", -1, same_as_before, -1},
        {"\t\n", -1, same_as_before, -1},
        {"0x1p3", 1, 8, -1},
        {"0X.8P-1", 1, 0.25, -1},
        {"-0x1.8p1$", 1, -3, '$'},
        {"0x1e3", 1, 0x1e3, -1},
        {"0x1p", 1, 1, -1},
        {"0x", 0, same_as_before, -1},
        {"0xg", 0, same_as_before, 'g'},
        {"inf", 1, infinity, -1},
        {"-INF;", 1, -infinity, ';'},
        {"infx", 1, infinity, 'x'},
        {"infinity", 1, infinity, -1},
        {"INFINITYx", 1, infinity, 'x'},
        {"infin", 0, same_as_before, -1},
        {"infinit", 0, same_as_before, -1},
        {"infix", 0, same_as_before, 'x'}, // the byte that broke the word is left
        {"in", 0, same_as_before, -1},
        {"inx", 0, same_as_before, 'x'},
        {"-i:", 0, same_as_before, ':'},
        {"n", 0, same_as_before, -1},
        {"nax", 0, same_as_before, 'x'},
        {"nan", 1, not_a_number, -1},
        {"-NaN", 1, -not_a_number, -1},
        {"nan(abc)", 1, not_a_number, '('},
        {"1e400", 1, infinity, -1},
        {"-1e400", 1, -infinity, -1},
        {"1e-400", 1, 0.0, -1},
        {"-1e-400", 1, -0.0, -1},
        {"4.9e-324", 1, least, -1},
        {"2.4703282292062327e-324", 1, 0.0, -1}, // below half the least subnormal
        {"2.4703282292062328e-324", 1, least, -1},
        {"1.7976931348623157e308", 1, DBL_MAX, -1},
        {"1.7976931348623158e308", 1, DBL_MAX, -1}, // below the halfway point to 2^1024
        {"1.7976931348623159e308", 1, infinity, -1},
        {"2.2250738585072014e-308", 1, DBL_MIN, -1},
        {"0." + std::string(800, '0') + "1e801", 1, 1, -1},
        {std::string(800, '9') + "e-800", 1, 1, -1},
    };
    for (const auto& c : cases) {
        double value = double_unchanged;
        auto [count, next] =
            on_memory(c.text, [&](input_file& in) { return in.read_double(value); });
        EXPECT_EQ(count, c.count) << c.text;
        EXPECT_TRUE(same(value, c.value)) << c.text << " gave " << value;
        EXPECT_EQ(next, c.next) << c.text;
    }
}

using InputFileOnDisk = scratch_dir;

// A token that straddles the end of the first block is read as if it were whole, whatever
// byte of it falls first into the second block.
TEST_F(InputFileOnDisk, TokenAcrossTheBlockBoundary) {
    struct {
        const char* token;
        bool integer;
        int count;
        double value;
        int next;
    } cases[] = {
        {"-1.25e+2x", false, 1, -125, 'x'},
        {"infinity;", false, 1, infinity, ';'},
        {"infinit;", false, 0, double_unchanged, ';'},
        {"inx", false, 0, double_unchanged, 'x'},
        {"0x1.8p1$", false, 1, 3, '$'},
        {"1e+$", false, 1, 1, '$'},
        {"-2147483648:", true, 1, INT_MIN, ':'},
        {"2147483648:", true, 0, int_unchanged, ':'},
    };
    for (const auto& c : cases)
        for (std::size_t shift = 1; shift <= std::strlen(c.token); shift++) {
            write_file("block.txt", std::string(block - shift, ' ') + c.token);
            input_file in;
            ASSERT_TRUE(in.open("block.txt"));
            double value = double_unchanged;
            int integer = int_unchanged;
            int count = c.integer ? in.read_int(integer) : in.read_double(value);
            EXPECT_EQ(count, c.count) << c.token << " shift " << shift;
            EXPECT_TRUE(same(c.integer ? integer : value, c.value)) << c.token << " " << shift;
            EXPECT_EQ(next_byte(in), c.next) << c.token << " shift " << shift;
            EXPECT_EQ(next_byte(in), -1) << c.token << " shift " << shift;
            EXPECT_TRUE(in.close());
        }
}

// Tokens longer than a block, white space over several blocks, and every byte of a file of
// several blocks read back one by one, each at its offset from the start.
TEST_F(InputFileOnDisk, LongTokensAndWholeFile) {
    std::string zeros(block * 5 / 2, '0');
    std::string spaces;
    for (std::size_t i = 0; i < block * 3; i++)
        spaces += " \t\n\v\f\r"[i % 6];
    write_file("long.txt", zeros + "7x" + spaces + "42 " + zeros + "1.5 " + "1" + zeros + "e-" +
                               std::to_string(zeros.size()) + " 9");
    struct {
        char conversion; // 'd' for "%d", 'g' for "%lg", 'c' for "%c"
        int count;
        double value; // what is stored, the start-up value when nothing is
    } steps[] = {{'d', 1, 7},
                 {'c', 1, 'x'},
                 {'d', 1, 42},
                 {'g', 1, 1.5},
                 {'g', 1, 1.0},
                 {'d', 1, 9},
                 {'d', -1, int_unchanged},
                 {'g', -1, double_unchanged},
                 {'c', -1, '#'}};
    input_file in;
    ASSERT_TRUE(in.open("long.txt"));
    for (const auto& step : steps) {
        int integer = int_unchanged;
        double number = double_unchanged;
        char c = '#';
        int count = step.conversion == 'd'   ? in.read_int(integer)
                    : step.conversion == 'g' ? in.read_double(number)
                                             : in.read_char(c);
        double got = step.conversion == 'd' ? integer : step.conversion == 'g' ? number : c;
        EXPECT_EQ(count, step.count) << step.conversion << " " << step.value;
        EXPECT_EQ(got, step.value) << step.conversion << " " << step.value;
    }
    EXPECT_TRUE(in.close());

    std::string bytes;
    std::mt19937 random(3);
    for (std::size_t i = 0; i < block * 5 / 2 + 77; i++)
        bytes += static_cast<char>(random());
    write_file("bytes.bin", bytes);
    ASSERT_TRUE(in.open("bytes.bin"));
    std::string back;
    std::size_t misplaced = 0; // bytes after which position() is not the count read
    for (int c; (c = next_byte(in)) != -1;) {
        back += static_cast<char>(c);
        misplaced += in.position() != back.size();
    }
    EXPECT_TRUE(back == bytes) << "read " << back.size() << " of " << bytes.size() << " bytes";
    EXPECT_EQ(misplaced, 0u);
    EXPECT_TRUE(in.close());
}

// Only a regular file, or a link to one, is opened: nothing can hang on a FIFO or take a
// directory or a device for an empty file. A read-only file is read normally.
TEST_F(InputFileOnDisk, OpenAcceptsOnlyRegularFiles) {
    write_file("plain.txt", "12");
    write_file("readonly.txt", "12");
    write_file("empty.txt", "");
    std::filesystem::permissions("readonly.txt", std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read);
    std::filesystem::create_directory("folder");
    struct named {
        const char* name;
        bool opens;
    };
    std::vector<named> cases = {{"plain.txt", true},
                                {"readonly.txt", true},
                                {"empty.txt", true},
                                {"missing.txt", false},
                                {"folder", false}};
#ifndef _WIN32
    std::filesystem::create_symlink("plain.txt", "link.txt");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    cases.insert(cases.end(), {{"link.txt", true}, {"pipe", false}, {"/dev/null", false}});
#endif
    for (const auto& c : cases) {
        input_file in;
        EXPECT_EQ(in.open(c.name), c.opens) << c.name;
        if (c.opens) {
            int value = int_unchanged;
            bool empty = std::string(c.name) == "empty.txt";
            EXPECT_EQ(in.read_int(value), empty ? -1 : 1) << c.name;
            EXPECT_EQ(value, empty ? int_unchanged : 12) << c.name;
            EXPECT_EQ(in.read_int(value), -1) << c.name;
            double number = double_unchanged;
            EXPECT_EQ(in.read_double(number), -1) << c.name;
            EXPECT_EQ(in.skip_char(), -1) << c.name;
            EXPECT_EQ(next_byte(in), -1) << c.name;
        }
        EXPECT_TRUE(in.close()) << c.name;
    }
}
