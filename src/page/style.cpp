// The style file: six entries, each after an "=", in a fixed order.
#include "page/style.h"

#include "flow/globals.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "input/settings_entry.h"

// Reads "style.var" into the style settings. Returns 0 after reading; 1 when the file
// cannot be opened or read, after the message, every setting at its start-up value.
int init_style_variables() {
    input_file file;
    if (!file.open("style.var")) {
        say(messages::no_style_file);
        return 1;
    }
    int read_border = border, read_width = width, read_height = height;
    char read_colors = color_interchange, read_header = header_align, read_cells = cell_align;
    read_int_entry(file, read_border);
    read_int_entry(file, read_width);
    read_int_entry(file, read_height);
    read_char_entry(file, read_colors);
    read_char_entry(file, read_header);
    read_char_entry(file, read_cells);
    if (!file.close()) {
        say(messages::no_style_file);
        return 1;
    }
    border = read_border;
    width = read_width;
    height = read_height;
    color_interchange = read_colors;
    header_align = read_header;
    cell_align = read_cells;
    return 0;
}
