// The answers of the query server to a box query (/results: the page, or a download of its
// selection) and to a cone search (/cone), from the stores it holds; and the query form
// (/query.htm, the site's index), under the heading of the site's publisher.conf.
#ifndef GALSIFT_SERVER_ANSWER_RESULTS_H
#define GALSIFT_SERVER_ANSWER_RESULTS_H

#include "server/server_context.h"

void answer_results(FCGX_Request& request, server_context& server);
void answer_cone_search(FCGX_Request& request, server_context& server);
void answer_query_form(FCGX_Request& request, server_context& server);

#endif
