// The table access service at /tap (TAP 1.1, DALI 1.1, UWS 1.1, VOSI 1.1): /tap/sync,
// /tap/async and its jobs, /tap/capabilities, /tap/availability, /tap/tables,
// /tap/examples, and a page at /tap itself.
#ifndef GALSIFT_SERVER_ANSWER_TAP_H
#define GALSIFT_SERVER_ANSWER_TAP_H

#include "server/server_context.h"

#include <string>

// Reads the service's settings and starts its job runners, the jobs kept under
// `spool`/tap-jobs. Returns false with the reason.
bool start_tap_service(const std::string& spool, std::string& why);

// Answers a request whose path is /tap or below it.
void answer_tap(FCGX_Request& request, server_context& server);

// The async jobs' resources, below /tap/async (answer_tap_jobs.cpp).
struct tap_http_request;
void answer_tap_async(FCGX_Request& request, const tap_http_request& asked);

#endif
