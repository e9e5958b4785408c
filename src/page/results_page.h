// The results page: write_results_page writes it for any answer; Query_Result_generator
// writes the console program's into "results.html".
#ifndef GALSIFT_PAGE_RESULTS_PAGE_H
#define GALSIFT_PAGE_RESULTS_PAGE_H

#include "catalogue/entry.h"

struct page_writer;
struct publisher_texts;
struct query_bounds;
struct table_style;

// The page, and the beginning of the name of the new file it is written to first and
// then moved over the page (six letters or digits follow).
inline const char page_name[] = "results.html";
inline const char new_page_prefix[] = "results.html.";

// Results of Query_Result_generator.
const int results_page_written = 0; // the page is written whole
const int results_page_failed = 1;  // the page could not be written whole; the message is
                                    // written

// Everything one results page shows.
struct results_answer {
    const query_bounds* query = nullptr;        // the query summarised
    const table_style* style = nullptr;         // the table's style
    const publisher_texts* publisher = nullptr; // heading and footer texts
    int total_number = 0;                       // entries of the catalogue
    int number_of_selected = 0;                 // entries that answer the query
    int table_row_limit = 0;                    // 0: a row for every selected entry;
                                                // else at most this many rows
    const char* cut_notice = nullptr;           // null, or written above a table that
                                                // table_row_limit cut short
    entry_reader rows;                          // the selected entries, in order: at least
                                                // the rows the table shows
};

// Writes the whole page of `answer` into `page` and finishes it. Returns true when every
// byte was written and the page finished without error; false when a write failed (the
// page is then incomplete and no more of it is written).
bool write_results_page(page_writer& page, results_answer& answer);

// Writes the page for the selection chain: beside "results.html" first, then moved over it,
// so that a reader never sees half a page. Returns results_page_written, or
// results_page_failed.
int Query_Result_generator();

#endif
