// The input reader against glibc's formatted input: "%lg", "%d", "%c", "%*c" and a
// white-space directive, over hand-picked and generated inputs, compared on the count
// converted, the value bit for bit and where the next read starts.
//
// Two differences are intended and asserted exactly: a failed "inf"/"nan"/"infinity"
// prefix does not swallow the byte that broke it (glibc does), and "%d" digits beyond the
// 32-bit range are unreadable (glibc stores a wrapped or saturated value).
#include "input/input_file.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#ifdef __GLIBC__
namespace {

// What one conversion did: its count and how many bytes it consumed.
struct outcome {
    int count;
    long position;
};

// glibc's fscanf of `text` through a memory stream, so that the bytes consumed are known
// after a failure too (ftell counts the byte put back).
template <class T> outcome glibc_scan(const std::string& text, const char* format, T* target) {
    if (text.empty())
        return {std::sscanf("", format, target), 0};
    std::FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    outcome result{std::fscanf(stream, format, target), 0};
    result.position = std::ftell(stream);
    std::fclose(stream);
    return result;
}

// Our reader on `text`, one operation.
outcome our_scan(const std::string& text, const std::function<int(input_file&)>& read) {
    input_file in;
    in.open_memory(text.data(), text.size());
    outcome result{read(in), static_cast<long>(in.position())};
    in.close();
    return result;
}

std::uint64_t bits(double value) {
    std::uint64_t pattern;
    std::memcpy(&pattern, &value, sizeof pattern);
    return pattern;
}

// Whether glibc gives "-nan" the sign bit and "nan" none, so that NaN signs can be compared.
bool glibc_nan_sign_consistent() {
    double plus = 0, minus = 0;
    std::sscanf("nan", "%lg", &plus);
    std::sscanf("-nan", "%lg", &minus);
    return std::isnan(plus) && std::isnan(minus) && !std::signbit(plus) && std::signbit(minus);
}

bool same_double(double ours, double theirs) {
    static const bool nan_sign = glibc_nan_sign_consistent();
    if (std::isnan(ours) || std::isnan(theirs))
        return std::isnan(ours) && std::isnan(theirs) &&
               (!nan_sign || std::signbit(ours) == std::signbit(theirs));
    return bits(ours) == bits(theirs);
}

// Whether "%lg" from `from` fails inside a word "inf", "infinity" or "nan" on a byte that
// is there: glibc then consumes that byte, our reader leaves it.
bool word_failure_on_byte(const std::string& text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && is_space(static_cast<unsigned char>(text[i])))
        i++;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        i++;
    if (i >= text.size())
        return false;
    char first = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    const char* word = first == 'n' ? "nan" : first == 'i' ? "infinity" : nullptr;
    if (!word)
        return false;
    std::size_t k = 0;
    while (word[k] && i + k < text.size() &&
           std::tolower(static_cast<unsigned char>(text[i + k])) == word[k])
        k++;
    // "inf" not followed by "i" is complete; "infi" commits to "infinity".
    bool complete = word[k] == 0 || (first == 'i' && k == 3);
    return !complete && i + k < text.size();
}

// Whether the digits "%d" consumed from `text` at `from` lie outside the 32-bit signed range.
bool int_overflow(const std::string& text, std::size_t from, long consumed) {
    std::string digits = text.substr(from, static_cast<std::size_t>(consumed));
    errno = 0;
    long long value = std::strtoll(digits.c_str(), nullptr, 10);
    return errno == ERANGE || value < INT_MIN || value > INT_MAX;
}

std::string shown(const std::string& text) {
    std::string out = "\"";
    for (char byte : text) {
        unsigned char c = static_cast<unsigned char>(byte);
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            out += code;
        }
    }
    if (out.size() > 200)
        out = out.substr(0, 90) + "..." + out.substr(out.size() - 90);
    return out + "\" (" + std::to_string(text.size()) + " bytes)";
}

const double double_sentinel = -7.25e-77;
const int int_sentinel = 0x5a5a5a5a;

// Every comparison on one input; returns false when some expectation failed.
bool compare_all(const std::string& text) {
    bool good = true;
    auto check = [&](bool condition, const char* what) {
        if (!condition) {
            ADD_FAILURE() << what << " differs on " << shown(text);
            good = false;
        }
    };

    // "%lg"
    double theirs = double_sentinel, again = double_sentinel, mine = double_sentinel;
    int counted = -1;
    int count = std::sscanf(text.c_str(), "%lg%n", &theirs, &counted);
    outcome g = glibc_scan(text, "%lg", &again);
    check(count == g.count && same_double(theirs, again) && (count != 1 || counted == g.position),
          "harness: sscanf and fscanf on a memory stream");
    outcome o = our_scan(text, [&](input_file& in) { return in.read_double(mine); });
    check(o.count == count, "%lg count");
    check(same_double(mine, theirs), "%lg value");
    long expected = g.position - (count == 0 && word_failure_on_byte(text, 0) ? 1 : 0);
    check(o.position == expected, "%lg position");

    // "%d"
    int their_int = int_sentinel, again_int = int_sentinel, my_int = int_sentinel;
    counted = -1;
    count = std::sscanf(text.c_str(), "%d%n", &their_int, &counted);
    g = glibc_scan(text, "%d", &again_int);
    check(count == g.count && their_int == again_int && (count != 1 || counted == g.position),
          "harness: sscanf and fscanf on a memory stream");
    o = our_scan(text, [&](input_file& in) { return in.read_int(my_int); });
    if (count == 1 && int_overflow(text, 0, g.position)) {
        check(o.count == 0 && my_int == int_sentinel, "%d beyond 32 bits: unreadable");
    } else {
        check(o.count == count, "%d count");
        check(my_int == their_int, "%d value");
    }
    check(o.position == g.position, "%d position");

    // "%c", "%*c" and a white-space directive
    char their_char = '#', my_char = '#';
    g = glibc_scan(text, "%c", &their_char);
    o = our_scan(text, [&](input_file& in) { return in.read_char(my_char); });
    check(o.count == g.count && my_char == their_char && o.position == g.position, "%c");
    g = glibc_scan(text, "%*c", static_cast<char*>(nullptr));
    o = our_scan(text, [&](input_file& in) { return in.skip_char(); });
    check(o.count == g.count && o.position == g.position, "%*c");
    g = glibc_scan(text, " ", static_cast<char*>(nullptr));
    o = our_scan(text, [&](input_file& in) {
        in.skip_space();
        return 0;
    });
    check(o.position == g.position, "white-space directive");
    return good;
}

// The exact decimal expansion of a long double, trailing zeros dropped.
std::string exact_decimal(long double value) {
    std::vector<char> text(1400);
    std::snprintf(text.data(), text.size(), "%.1200Le", value);
    std::string all(text.data());
    std::size_t e = all.find('e');
    std::string mantissa = all.substr(0, e);
    while (mantissa.back() == '0')
        mantissa.pop_back();
    if (mantissa.back() == '.')
        mantissa.pop_back();
    return mantissa + all.substr(e);
}

// Inputs whose reading is easy to get wrong, chosen by hand ("\2405" is byte 0xa0 then
// "5": an octal escape takes at most three digits).
std::vector<std::string> chosen_inputs() {
    std::vector<std::string> list = {
        // decimal forms and their broken prefixes
        "", " ", "\t\n\v\f\r", "1e", "1e+", "1e-", "1E5", "1e+5x", "-", "+", "+.", "-.", ".", ".5",
        "5.", "5..", "1.2.3",
        // hexadecimal forms
        "0x", "0X", "-0x", "+0x", "0x.", "0x.p1", "0xp1", "0x1p", "0x1p+", "0x1p3", "0X.8P-1",
        "0x1.fffffffffffffp1023", "0x1p1024", "0x1p-1074", "0x1p-1075", "0x1.8p-1075",
        "0x0.0000000000001p-1022", "0xg", "0x1e3", "0x1e+3", "0x1P-3e",
        // words, whole and broken
        "in", "inf", "infin", "infinity", "INFINITYx", "InFiNiTy", "infx", "infi", "infix", "inx",
        "in 5", "-i:", "NAx", "infinit", "infinitz", "-inf", "+infinity", "-in", "i", "n", "na",
        "nax", "nan", "NaN", "-nan", "+nan", "nan(", "nan()", "nan(abc)", "nan(a b)", "nan(0x1)",
        "nanx",
        // the ends of the range and rounding at them
        "1e400", "-1e400", "1e-400", "-1e-400", "4.9e-324", "2.4703282292062327e-324",
        "2.4703282292062328e-324", "1.7976931348623157e308", "1.7976931348623158e308",
        "1.7976931348623159e308", "2.2250738585072011e-308", "2.2250738585072012e-308", "00012",
        "-0", "+0", "-0.0e0", "0e", "0e-", "0.e1", "1e99999999999999999999",
        "1e-99999999999999999999", "0e99999999999999999999",
        // separators, integers, bytes that are not white space
        "$", ":", "12:34:56.5", "=5", "2147483647", "2147483648", "-2147483648", "-2147483649",
        "4294967295", "4294967296", "9223372036854775807", "9223372036854775808",
        "-9223372036854775809", "99999999999999999999999999", "000000000000000000000000000000012",
        "+-5", "-+5", "--5", "\2405", "\2055", "\0345", "5\xa0", "1,5", "1_000"};
    for (const char* space : {" ", "\t", "\n", "\v", "\f", "\r", " \t\n\v\f\r "})
        for (const char* token : {"12.5", "-7", "inf", "in", "nan", "", "x", "0x1p1"})
            list.push_back(std::string(space) + token);
    std::string digits800;
    std::mt19937 random(800);
    for (int i = 0; i < 800; i++)
        digits800 += static_cast<char>('0' + random() % 10);
    list.push_back(digits800);
    list.push_back("1" + digits800);
    list.push_back("0." + digits800);
    list.push_back("-." + digits800 + "e-300");
    list.push_back(std::string(800, '9'));
    list.push_back(std::string(800, '9') + "e-1100");
    list.push_back("0." + std::string(800, '0') + "1e500");
    list.push_back(std::string(800, '0') + "1");
    list.push_back("0x" + std::string(300, 'f') + "p-1300");
#if LDBL_MANT_DIG >= 64
    // Exactly half the smallest subnormal, and a value just above it.
    std::string half = exact_decimal(std::ldexp(1.0L, -1075));
    list.push_back(half);
    list.push_back(half.substr(0, half.find('e')) + "1" + half.substr(half.find('e')));
#endif
    return list;
}

} // namespace
#endif

TEST(ReaderDifferential, AgreesWithGlibcOnChosenInputs) {
#ifdef __GLIBC__
    std::vector<std::string> inputs = chosen_inputs();
    for (const auto& text : inputs)
        compare_all(text);
    std::printf("[ checked  ] %zu chosen inputs\n", inputs.size());
#else
    GTEST_SKIP() << "glibc is the reference";
#endif
}

TEST(ReaderDifferential, AgreesWithGlibcOnGeneratedInputs) {
#ifdef __GLIBC__
    std::mt19937 random(20240601);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const pieces[] = {
        "+", "-",  "0",  "1",  "5",  "9",  "7", ".", "e",  "E",   "p",   "P",  "x",  "X",  "a",
        "b", "c",  "d",  "f",  "A",  "F",  "i", "n", "f",  "t",   "y",   "I",  "N",  "(",  ")",
        " ", "\t", "\n", "\v", "\f", "\r", "$", ":", "0x", "inf", "nan", "e-", "e+", "00",
    };
    const int piece_count = static_cast<int>(sizeof pieces / sizeof pieces[0]);
    std::size_t checked = 0, failed = 0;
    auto run = [&](const std::string& text) {
        checked++;
        if (!compare_all(text) && ++failed >= 50)
            return false;
        return true;
    };
    // Random mixes of the bytes that steer a number conversion.
    for (int i = 0; i < 100000; i++) {
        std::string text;
        for (int n = pick(12); n >= 0; n--)
            text += pieces[pick(piece_count)];
        if (!run(text))
            break;
    }
    // Random finite doubles written in decimal and in hexadecimal.
    std::mt19937_64 wide(42);
    for (int i = 0; i < 30000 && failed < 50; i++) {
        double value;
        do {
            std::uint64_t pattern = wide();
            std::memcpy(&value, &pattern, sizeof value);
        } while (!std::isfinite(value));
        char text[64];
        static const char* const formats[] = {"%.17g", "%a", "%.6g", "%.25e"};
        std::snprintf(text, sizeof text, formats[i % 4], value);
        run(text);
    }
    // Sixteen-digit integers scaled by powers of ten, as catalogues write large or small
    // numbers: a converter that computes in extended precision rounds some of them twice.
    for (int i = 0; i < 20000 && failed < 50; i++) {
        char text[64];
        std::snprintf(text, sizeof text, "%llue%d",
                      static_cast<unsigned long long>(wide() % 10000000000000000ULL),
                      pick(50) - 25);
        run(text);
    }
#if LDBL_MANT_DIG >= 64
    // Exact halfway points between neighbouring doubles, and the decimals just above them:
    // only a correctly rounding reader gets these right.
    for (int i = 0; i < 5000 && failed < 50; i++) {
        double low = std::ldexp(static_cast<double>(wide() >> 11) / 9007199254740992.0 + 0.5,
                                pick(2100) - 1074);
        if (!std::isfinite(low) || low == 0)
            continue;
        double high = std::nextafter(low, HUGE_VAL);
        if (!std::isfinite(high))
            continue;
        std::string half = exact_decimal((static_cast<long double>(low) + high) / 2);
        std::size_t e = half.find('e');
        run(half);
        run(half.substr(0, e) + (half.find('.') < e ? "" : ".") + "000001" + half.substr(e));
    }
#endif
    std::printf("[ checked  ] %zu generated inputs, %zu with a difference\n", checked, failed);
#else
    GTEST_SKIP() << "glibc is the reference";
#endif
}

#ifdef __GLIBC__
namespace {
// One step of a reading program: which conversion to apply next.
enum class step { number, integer, character, skipped, space };
} // namespace
#endif

// A file of several blocks read by a random sequence of conversions, by glibc's fscanf and
// by our reader side by side: values and positions agree across every block boundary.
using ReaderDifferentialFile = scratch_dir;

TEST_F(ReaderDifferentialFile, AgreesWithGlibcAcrossBlocks) {
#ifdef __GLIBC__
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const tokens[] = {
        "12.5", "-7",  "inf", "in",      "nan", "infinity",   "0x1p3",
        "1e",   "1e+", "$",   ":",       "=",   "2147483648", "-0",
        ".",    "+",   "abc", "1.25e-3", "0x",  "nanx",       "99999999999",
    };
    static const char* const gaps[] = {"", " ", "\n", "\t\r\n", "  "};
    std::string content;
    while (content.size() < (6u << 18)) { // a block and a half
        content += tokens[pick(21)];
        content += gaps[pick(5)];
    }
    write_file("stream.txt", content);

    std::FILE* reference = std::fopen("stream.txt", "rb");
    input_file in;
    ASSERT_TRUE(in.open("stream.txt"));
    auto position = [&] { return static_cast<long>(in.position()); };
    std::size_t steps = 0;
    while (std::ftell(reference) < static_cast<long>(content.size()) && steps < 5000000) {
        long before = position();
        int theirs = 0, mine = 0;
        bool same = true;
        long swallowed = 0;
        static const step program[] = {step::number,  step::number,  step::number,  step::number,
                                       step::integer, step::integer, step::integer, step::character,
                                       step::skipped, step::space};
        switch (program[pick(10)]) {
        case step::number: {
            double a = double_sentinel, b = double_sentinel;
            theirs = std::fscanf(reference, "%lg", &a);
            mine = in.read_double(b);
            same = same_double(b, a);
            if (theirs == 0 && word_failure_on_byte(content, static_cast<std::size_t>(before)))
                swallowed = 1;
            break;
        }
        case step::integer: {
            int a = int_sentinel, b = int_sentinel;
            theirs = std::fscanf(reference, "%d", &a);
            mine = in.read_int(b);
            bool overflow = theirs == 1 && int_overflow(content, static_cast<std::size_t>(before),
                                                        std::ftell(reference) - before);
            same = overflow ? b == int_sentinel : a == b;
            if (overflow)
                theirs = 0; // beyond 32 bits our reader counts the digits unreadable

            break;
        }
        case step::character: {
            char a = '#', b = '#';
            theirs = std::fscanf(reference, "%c", &a);
            mine = in.read_char(b);
            same = a == b;
            break;
        }
        case step::skipped:
            theirs = std::fscanf(reference, "%*c");
            mine = in.skip_char();
            break;
        case step::space:
            static_cast<void>(std::fscanf(reference, " "));
            in.skip_space();
            break;
        }
        ASSERT_TRUE(theirs == mine && same && position() + swallowed == std::ftell(reference))
            << "step " << steps << " at byte " << before << ": "
            << shown(content.substr(static_cast<std::size_t>(before), 24));
        if (swallowed)
            in.skip_char();
        steps++;
    }
    EXPECT_EQ(position(), static_cast<long>(content.size()));
    std::fclose(reference);
    EXPECT_TRUE(in.close());
    std::printf("[ checked  ] %zu reading steps over %zu bytes\n", steps, content.size());
#else
    GTEST_SKIP() << "glibc is the reference";
#endif
}
