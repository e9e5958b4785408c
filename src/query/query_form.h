// init_query_parameters: reading and checking the query form "query.frm".
#ifndef GALSIFT_QUERY_QUERY_FORM_H
#define GALSIFT_QUERY_QUERY_FORM_H

int init_query_parameters();

#endif
