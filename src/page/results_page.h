// Query_Result_generator: writing the results page "results.html".
#ifndef GALSIFT_PAGE_RESULTS_PAGE_H
#define GALSIFT_PAGE_RESULTS_PAGE_H

// The page, and the beginning of the name of the new file it is written to first and
// then moved over the page (six letters or digits follow).
inline const char page_name[] = "results.html";
inline const char new_page_prefix[] = "results.html.";

// Results of Query_Result_generator.
const int results_page_written = 0; // the page is written whole
const int results_page_failed = 1;  // the page could not be written whole; the message is
                                    // written

// Writes the page for the selection chain: beside "results.html" first, then moved over it,
// so that a reader never sees half a page. Returns results_page_written, or
// results_page_failed.
int Query_Result_generator();

#endif
