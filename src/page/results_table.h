// put_results_table: the table of the selected entries inside the results page.
#ifndef GALSIFT_PAGE_RESULTS_TABLE_H
#define GALSIFT_PAGE_RESULTS_TABLE_H

struct page_writer;
struct results_answer;

void put_results_table(page_writer& page, results_answer& answer);

#endif
