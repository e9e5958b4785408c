// init_style_variables: reading the table style from "style.var".
#ifndef GALSIFT_PAGE_STYLE_H
#define GALSIFT_PAGE_STYLE_H

// Results of init_style_variables.
const int style_read = 0;   // the style settings hold what the file gives
const int style_unread = 1; // the file cannot be opened or read: after the message, every
                            // setting keeps its value

// Reads "style.var" into the style settings. Returns style_read, or style_unread.
int init_style_variables();

#endif
