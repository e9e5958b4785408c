// The words of the table's align and bgcolor attributes.
#include "page/style_words.h"

// "left", "center" or "right" for 'l', 'c' or 'r'; the empty text for anything else.
string align_type_convert(char align) {
    switch (align) {
    case 'l':
        return string("left");
    case 'c':
        return string("center");
    case 'r':
        return string("right");
    default:
        return string();
    }
}

// The background colour of a row: "white" for 0, "#c0c0c0" for 1, and "#00aaaa" for
// anything else (the header row passes 2).
string color_change(int row) {
    switch (row) {
    case 0:
        return string("white");
    case 1:
        return string("#c0c0c0");
    default:
        return string("#00aaaa");
    }
}
