// The style file: six entries, each after an "=", in a fixed order.
#include "page/style.h"

#include "flow/globals.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "input/settings_entry.h"

// The settings change only once the whole file has been read.
int init_style_variables() {
    input_file file;
    if (!file.open("style.var")) {
        say(messages::no_style_file);
        return style_unread;
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
        return style_unread;
    }
    border = read_border;
    width = read_width;
    height = read_height;
    color_interchange = read_colors;
    header_align = read_header;
    cell_align = read_cells;
    return style_read;
}
