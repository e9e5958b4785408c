// The program-wide state the stages share. It lives from start-up to exit; each piece is
// written by one stage and read by the later ones, and starts with the value beside it.
#ifndef GALSIFT_FLOW_GLOBALS_H
#define GALSIFT_FLOW_GLOBALS_H

#include "catalogue/record.h"
#include "coords/arc.h"

// The query (written by init_query_parameters).
extern int epoch;               // 2000: epoch of the coordinates, names the catalogue
extern arc minimal_ascension;   // zero angle: right-ascension bounds, sign stays +1
extern arc maximal_ascension;   // zero angle
extern arc minimal_declination; // zero angle: declination bounds, sign in `sign`
extern arc maximal_declination; // zero angle
extern double min_redshift;     // 0: redshift bounds
extern double max_redshift;     // 0

// The style of the results table (written by init_style_variables).
extern int border;             // 0: border width; negative leaves the attribute out
extern int width;              // 0: table width, percent of the page
extern int height;             // 0: table height, percent of the page
extern char color_interchange; // zero byte: 'y' alternates the data rows' colours
extern char table_align;       // 'c': alignment of the table, never read from a file
extern char header_align;      // zero byte: alignment of the header row
extern char cell_align;        // zero byte: alignment of the data rows and cells

// The length of the results table (set only by a front end that serves long answers).
extern int table_row_limit;    // 0: every selected record gets a row; else at most this many
extern const char* cut_notice; // null: written before a table that table_row_limit cut short

// The catalogue (written by Read_record_list and Correct_record_list).
extern record DB_First;  // empty: head of the list, holds no entry; the first
                         // entry is DB_First.next
extern int total_number; // 0: records in the list

// The selection (written by result_list_generator).
extern record* First_Selected; // null: first record of the selection chain
extern int number_of_selected; // 0: records in the selection chain

// Puts every piece of the state back to its start-up value, for harnesses that run the
// stages more than once in one process. Records of an earlier list are not released.
void reset_program_state();

#endif
