// put_results_table: the table of the selected records inside the results page.
#ifndef GALSIFT_PAGE_RESULTS_TABLE_H
#define GALSIFT_PAGE_RESULTS_TABLE_H

struct page_writer;

void put_results_table(page_writer& page);

#endif
