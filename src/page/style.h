// init_style_variables: reading the table style from "style.var"; table_style, the style
// as one value.
#ifndef GALSIFT_PAGE_STYLE_H
#define GALSIFT_PAGE_STYLE_H

// Results of init_style_variables and read_style_file.
const int style_read = 0;   // the style settings hold what the file gives
const int style_unread = 1; // the file cannot be opened or read: after the message, every
                            // setting keeps its value

// The style of the results table; the start-up values are those of the program-wide state.
struct table_style {
    int border = 0;             // border width; negative leaves the attribute out
    int width = 0;              // table width, percent of the page
    int height = 0;             // table height, percent of the page
    char color_interchange = 0; // 'y' alternates the data rows' colours
    char table_align = 'c';     // alignment of the table, never read from a file
    char header_align = 0;      // alignment of the header row
    char cell_align = 0;        // alignment of the data rows and cells
};

// Reads the style file `name` into `style`, which changes only once the whole file has
// been read. Returns style_read, or style_unread after the message.
int read_style_file(const char* name, table_style& style);

// Reads "style.var" into the style settings. Returns style_read, or style_unread.
int init_style_variables();

// The program-wide style settings as one value.
table_style program_style();

#endif
