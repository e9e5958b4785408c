// Skipping to a stop character: found within 1001 characters or given up with the
// stop-signal message, the input left just after what was read.
#include "input/input_file.h"
#include "query/descriptor_shift.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The byte the next "%c" gets, or -1 at the end of the input.
int next_byte(input_file& in) {
    char c;
    return in.read_char(c) == 1 ? static_cast<unsigned char>(c) : -1;
}

struct shift_case {
    std::string text;
    char stop;
    int result;
    int next;
};

// Runs descriptor_shift on `in` and checks its result, its message and the next byte.
void check(input_file& in, const shift_case& c, const char* where) {
    ::testing::internal::CaptureStdout();
    int result = descriptor_shift(in, c.stop);
    std::string said = ::testing::internal::GetCapturedStdout();
    std::string message =
        c.result ? std::string("file read message: stop_signal '") + c.stop + "' lost\n" : "";
    EXPECT_EQ(result, c.result) << where << ", " << c.text.size() << " bytes";
    EXPECT_EQ(said, message) << where << ", " << c.text.size() << " bytes";
    EXPECT_EQ(next_byte(in), c.next) << where << ", " << c.text.size() << " bytes";
}

const std::string x1000(1000, 'x');

const shift_case cases[] = {
    {"Epoch=2000", '=', 0, '2'},
    {"=x", '=', 0, 'x'},
    {"==", '=', 0, '='},
    {"10$20$", '$', 0, '2'},
    {"a\n\t =\n", '=', 0, '\n'},
    {x1000 + "=R", '=', 0, 'R'},  // the stop is the 1001st character read
    {x1000 + "x=R", '=', 1, '='}, // the 1002nd: 1001 characters are consumed
    {x1000 + "xy=R", '=', 1, 'y'},
    {x1000 + x1000 + "$", '$', 1, 'x'},
    {"no stop here", '=', 1, -1}, // end of input without the stop
    {x1000, '=', 1, -1},
    {x1000 + "x", '=', 1, -1},
    {"", '$', 1, -1},
};

} // namespace

TEST(DescriptorShift, StopsAfterTheStopOrGivesUp) {
    for (const auto& c : cases) {
        input_file in;
        ASSERT_TRUE(in.open_memory(c.text.data(), c.text.size()));
        check(in, c, "memory");
        in.close();
    }
}

using DescriptorShiftOnDisk = scratch_dir;

// The same with the 1001 characters straddling the end of the reader's first block.
TEST_F(DescriptorShiftOnDisk, WindowAcrossTheBlockBoundary) {
    for (const auto& c : cases) {
        write_file("form.txt", std::string((1 << 20) - 500, ' ') + c.text);
        input_file in;
        ASSERT_TRUE(in.open("form.txt"));
        in.skip_space();
        check(in, c, "file");
        EXPECT_TRUE(in.close());
    }
}

// Sets the mark that a read failed part-way, or that the buffer could not grow, leaves.
struct input_file_fault {
    static void set(input_file& in) { in.broken = true; }
};

// A file whose reading has failed is reported by its reader as unreadable; the search
// in it ends without a stop-signal message of its own.
TEST(DescriptorShift, SilentOnAFileWhoseReadingFailed) {
    input_file in;
    ASSERT_TRUE(in.open_memory("label", 5));
    input_file_fault::set(in);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(descriptor_shift(in, '='), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    in.close();
}
