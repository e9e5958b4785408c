// init_query_parameters: reading and checking the query form "query.frm".
#ifndef GALSIFT_QUERY_QUERY_FORM_H
#define GALSIFT_QUERY_QUERY_FORM_H

// Results of init_query_parameters.
const int query_invalid = 0; // the form cannot be read, or a check failed: every problem
                             // found has its message
const int query_valid = 1;   // the query state holds a query that passed every check

// Reads "query.frm" into the query state and checks it. Returns query_valid, or
// query_invalid.
int init_query_parameters();

#endif
