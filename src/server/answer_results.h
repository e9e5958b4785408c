// The answers of the query server to a box query (/results: the page, or a download of its
// selection) and to a cone search (/cone), from the stores it holds.
#ifndef GALSIFT_SERVER_ANSWER_RESULTS_H
#define GALSIFT_SERVER_ANSWER_RESULTS_H

#include "server/server_context.h"

void answer_results(FCGX_Request& request, server_context& server);
void answer_cone_search(FCGX_Request& request, server_context& server);

#endif
