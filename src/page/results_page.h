// Query_Result_generator: writing the results page "results.html".
#ifndef GALSIFT_PAGE_RESULTS_PAGE_H
#define GALSIFT_PAGE_RESULTS_PAGE_H

struct arc;
struct page_writer;

// The page, and the file it is written to first and then moved over the page.
inline const char page_name[] = "results.html";
inline const char partial_page_name[] = "results.html.part";

void put_angle_head(page_writer& page, const arc& angle);
int Query_Result_generator();

#endif
