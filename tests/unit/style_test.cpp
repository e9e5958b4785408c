// The style file "style.var" into the style settings, and the words the table's
// attributes are written with.
#include "flow/globals.h"
#include "page/style.h"
#include "page/style_words.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

// The six settings read from the file.
struct style {
    int border, width, height;
    char colours, header, cells;
};

static const style startup = {0, 0, 0, 0, 0, 0};
static const std::string stop_lost = "file read message: stop_signal '=' lost\n";

// Sets the six settings.
static void set_style(const style& s) {
    border = s.border;
    width = s.width;
    height = s.height;
    color_interchange = s.colours;
    header_align = s.header;
    cell_align = s.cells;
}

// Checks the six settings, and that the table's own alignment is untouched.
static void expect_style(const style& s) {
    EXPECT_EQ(border, s.border);
    EXPECT_EQ(width, s.width);
    EXPECT_EQ(height, s.height);
    EXPECT_EQ(color_interchange, s.colours);
    EXPECT_EQ(header_align, s.header);
    EXPECT_EQ(cell_align, s.cells);
    EXPECT_EQ(table_align, 'c');
}

// Repeats `text` `count` times.
static std::string times(int count, const std::string& text) {
    std::string all;
    for (int n = 0; n < count; n++)
        all += text;
    return all;
}

class style_file : public scratch_dir {
  protected:
    std::string output; // what the reader wrote on standard output

    // Runs init_style_variables on `content` as "style.var" (no file for null, a
    // directory for "/") starting from the settings `before`. Returns its result.
    int read_style(const char* content, const style& before) {
        std::filesystem::remove_all("style.var");
        if (content && std::string(content) == "/")
            std::filesystem::create_directory("style.var");
        else if (content)
            write_file("style.var", content);
        set_style(before);
        testing::internal::CaptureStdout();
        int result = init_style_variables();
        output = testing::internal::GetCapturedStdout();
        return result;
    }
};

TEST_F(style_file, SettingsFromTheFile) {
    const std::string missing = "error of opening file style.var\n";
    struct {
        const char* name;
        const char* content;
        int result;
        std::string output;
        style settings;
    } cases[] = {
        {"full file",
         "Border width=2\nTable width (%)=80\nTable height (%)=50\nAlternate colours=y\n"
         "Header alignment=l\nData alignment=r\n",
         0,
         "",
         {2, 80, 50, 'y', 'l', 'r'}},
        {"no labels, no line ends", "=1=2=3=y=c=l", 0, "", {1, 2, 3, 'y', 'c', 'l'}},
        {"spaces before numbers, signs",
         "b= -1\nw=\t+100\nh=  0\nc=n\nh=c\nd=c\n",
         0,
         "",
         {-1, 100, 0, 'n', 'c', 'c'}},
        {"32-bit limits",
         "b=2147483647\nw=-2147483648\nh=7\nc=y\nh=l\nd=l\n",
         0,
         "",
         {INT_MAX, INT_MIN, 7, 'y', 'l', 'l'}},
        {"a space after the = of the colours",
         "b=1\nw=2\nh=3\nc= y\nh=r\nd=l\n",
         0,
         "",
         {1, 2, 3, ' ', 'r', 'l'}},
        {"values that do not convert",
         "b=wide\nw=\nh=2147483648\nc=y\nh=c\nd=r\n",
         0,
         "",
         {0, 0, 0, 'y', 'c', 'r'}},
        {"a negative value out of range",
         "b=-2147483649\nw=5\nh=6\nc=y\nh=c\nd=r\n",
         0,
         "",
         {0, 5, 6, 'y', 'c', 'r'}},
        {"two entries", "border=4\nwidth=60\n", 0, times(4, stop_lost), {4, 60, 0, 0, 0, 0}},
        {"end of file after the colours' =", "=1=2=3=", 0, times(2, stop_lost), {1, 2, 3, 0, 0, 0}},
        {"empty file", "", 0, times(6, stop_lost), startup},
        {"missing file", nullptr, 1, missing, startup},
        {"a directory named style.var", "/", 1, missing, startup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read_style(c.content, startup), c.result);
        EXPECT_EQ(output, c.output);
        expect_style(c.settings);
    }
}

// Whatever is not read from the file is left as it was.
TEST_F(style_file, UnreadSettingsKeepTheirValues) {
    const style before = {7, 8, 9, 'a', 'b', 'd'};
    struct {
        const char* content;
        int result;
        std::string output;
    } cases[] = {
        {"b=x\nw=\nh=99999999999\nc=", 0, times(2, stop_lost)},
        {"", 0, times(6, stop_lost)},
        {nullptr, 1, "error of opening file style.var\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "missing file");
        EXPECT_EQ(read_style(c.content, before), c.result);
        EXPECT_EQ(output, c.output);
        expect_style(before);
    }
}

TEST(StyleWords, AlignmentAndColourWords) {
    struct {
        char align;
        const char* word;
    } aligns[] = {{'l', "left"}, {'c', "center"}, {'r', "right"}, {0, ""},
                  {'L', ""},     {'C', ""},       {' ', ""},      {'y', ""}};
    for (const auto& a : aligns)
        EXPECT_STREQ(align_type_convert(a.align).text, a.word) << int(a.align);
    struct {
        int row;
        const char* colour;
    } colours[] = {{0, "white"},    {1, "#c0c0c0"},   {2, "#00aaaa"},       {3, "#00aaaa"},
                   {-1, "#00aaaa"}, {100, "#00aaaa"}, {INT_MAX, "#00aaaa"}, {INT_MIN, "#00aaaa"}};
    for (const auto& c : colours)
        EXPECT_STREQ(color_change(c.row).text, c.colour) << c.row;
}
