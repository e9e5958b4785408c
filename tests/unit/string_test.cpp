// The catalogue's fixed text: a field read up to its stop, at most 99 characters kept,
// the rest of an over-long field consumed so the following fields stay in step.
#include "catalogue/string.h"
#include "input/input_file.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// `length` characters that differ from their neighbours, so a wrong cut shows.
std::string letters(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; i++)
        text += static_cast<char>('a' + i % 26);
    return text;
}

struct field_case {
    std::string text;
    char stop;
    std::string first, second; // the two fields read in turn
};

const field_case cases[] = {
    {"abc$def$", '$', "abc", "def"},
    {" ABC 123 $Smith et al. 2001$\n", '$', " ABC 123 ", "Smith et al. 2001"},
    {"a b\nc\r\n\t$ x $", '$', "a b\nc\r\n\t", " x "},
    {"$$", '$', "", ""},
    {"label=5=", '=', "label", "5"},
    {"100%$%d$", '$', "100%", "%d"},
    {letters(98) + "$next$", '$', letters(98), "next"},
    {letters(99) + "$next$", '$', letters(99), "next"},
    {letters(100) + "$next$", '$', letters(99), "next"},
    {letters(1000) + "$next$", '$', letters(99), "next"},
    {letters(150) + "$" + letters(150) + "$", '$', letters(99), letters(99)},
    {"abc", '$', "abc", ""}, // the end of the file ends a field
    {"", '$', "", ""},
    {letters(200), '$', letters(99), ""},
    {"abc$de", '$', "abc", "de"},
};

// Reads the two fields of `c` from `in` into strings that held other text before.
void check(input_file& in, const field_case& c, const char* where) {
    string first("previous text"), second("previous text");
    EXPECT_EQ(first.Read_string(in, c.stop), 0);
    EXPECT_EQ(second.Read_string(in, c.stop), 0);
    EXPECT_EQ(std::string(first.text), c.first) << where << " " << c.text.size() << " bytes";
    EXPECT_EQ(std::string(second.text), c.second) << where << " " << c.text.size() << " bytes";
}

} // namespace

TEST(String, ReadStringKeepsAtMost99Characters) {
    for (const auto& c : cases) {
        input_file in;
        ASSERT_TRUE(in.open_memory(c.text.data(), c.text.size()));
        check(in, c, "memory");
        in.close();
    }
}

using StringOnDisk = scratch_dir;

// The same fields placed across the end of the reader's first block, and a field longer
// than a whole block.
TEST_F(StringOnDisk, ReadStringAcrossBlocks) {
    for (const auto& c : cases) {
        write_file("fields.txt", letters((1 << 20) - 50) + "$" + c.text);
        input_file in;
        ASSERT_TRUE(in.open("fields.txt"));
        string skipped;
        skipped.Read_string(in, '$');
        EXPECT_EQ(std::string(skipped.text), letters(99));
        check(in, c, "file");
        EXPECT_TRUE(in.close());
    }
    write_file("long.txt", letters(3 << 20) + "$ second $");
    input_file in;
    ASSERT_TRUE(in.open("long.txt"));
    check(in, {"", '$', letters(99), " second "}, "field of 3 MiB");
    EXPECT_TRUE(in.close());
}

TEST(String, FromLiteral) {
    for (const char* literal : {"", "left", "center", "#00aaaa", "right",
                                "12345678901234567890"
                                "123456789012345678"}) {
        string text(literal);
        EXPECT_STREQ(text.text, literal);
    }
    EXPECT_STREQ(string().text, "");
}
