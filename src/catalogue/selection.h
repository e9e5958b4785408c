// result_list_generator: chaining the records that answer the query.
#ifndef GALSIFT_CATALOGUE_SELECTION_H
#define GALSIFT_CATALOGUE_SELECTION_H

struct record;

bool inside_query(const record& entry);
int result_list_generator();

#endif
