// The style file: six entries, each after an "=", in a fixed order.
#include "page/style.h"

#include "flow/globals.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "input/settings_entry.h"

int read_style_file(const char* name, table_style& style) {
    input_file file;
    if (!file.open(name)) {
        say(messages::no_style_file);
        return style_unread;
    }
    table_style read = style;
    read_int_entry(file, read.border);
    read_int_entry(file, read.width);
    read_int_entry(file, read.height);
    read_char_entry(file, read.color_interchange);
    read_char_entry(file, read.header_align);
    read_char_entry(file, read.cell_align);
    if (!file.close()) {
        say(messages::no_style_file);
        return style_unread;
    }
    style = read;
    return style_read;
}

// The settings change only once the whole file has been read.
int init_style_variables() {
    table_style style = program_style();
    int result = read_style_file("style.var", style);
    border = style.border;
    width = style.width;
    height = style.height;
    color_interchange = style.color_interchange;
    header_align = style.header_align;
    cell_align = style.cell_align;
    return result;
}

table_style program_style() {
    table_style style;
    style.border = border;
    style.width = width;
    style.height = height;
    style.color_interchange = color_interchange;
    style.table_align = table_align;
    style.header_align = header_align;
    style.cell_align = cell_align;
    return style;
}
