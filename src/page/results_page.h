// Query_Result_generator: writing the results page "results.html".
#ifndef GALSIFT_PAGE_RESULTS_PAGE_H
#define GALSIFT_PAGE_RESULTS_PAGE_H

// The page, and the file it is written to first and then moved over the page.
inline const char page_name[] = "results.html";
inline const char partial_page_name[] = "results.html.part";

int Query_Result_generator();

#endif
