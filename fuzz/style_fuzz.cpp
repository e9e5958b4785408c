// Fuzz target: the style reader.
//
// The input is the whole "style.var". The program's reader must neither crash nor read
// out of bounds, must find the same settings as the file read one C-library conversion
// at a time, and must write the same messages; the table alignment is never read.
#include "flow/globals.h"
#include "fuzz_support.h"
#include "page/style.h"
#include "reference_reader.h"

#include <string>

// One input: the style file, read by the program and by the reference, compared.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enter_scratch_dir();
    reset_fuzz_state();
    write_file("style.var", data, size);
    begin_capture();
    int result = init_style_variables();
    std::string output = end_capture();

    reference_input in;
    if (!in.open("style.var"))
        finding("style.var vanished", "");
    reference_style style;
    reference_read_style(in, style);
    in.close();

    if (result != 0)
        finding("a readable style file was not read", std::to_string(result));
    if (border != style.border || width != style.width || height != style.height)
        finding("a number setting differs",
                std::to_string(border) + " " + std::to_string(width) + " " +
                    std::to_string(height) + " vs " + std::to_string(style.border) + " " +
                    std::to_string(style.width) + " " + std::to_string(style.height));
    if (color_interchange != style.colors || header_align != style.header ||
        cell_align != style.cells)
        finding("a character setting differs", "");
    if (table_align != 'c')
        finding("the table alignment changed", std::string(1, table_align));
    if (!in.diverged && output != in.messages)
        finding("messages differ", "program:\n" + output + "\nexpected:\n" + in.messages);
    leave_scratch_dir();
    return 0;
}
