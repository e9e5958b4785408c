// What the table access service's answers share: the request's parameters and fields
// (query string, form body or multipart body), the service's URL, the responses, and the
// service's state (its settings and its async jobs).
#ifndef GALSIFT_SERVER_TAP_HTTP_H
#define GALSIFT_SERVER_TAP_HTTP_H

#include "server/server_context.h"
#include "tap/multipart.h"
#include "tap/tap_database.h"
#include "tap/tap_jobs.h"
#include "tap/tap_request.h"

#include <fcgiapp.h>

#include <memory>
#include <string>
#include <vector>

struct site_state;

// The service, made once at start-up by start_tap_service.
struct tap_service {
    tap_settings settings; // read at start-up, then only read
    tap_jobs jobs;         // guarded by its own lock
};

extern tap_service& tap;

// What a request to the service carries.
struct tap_http_request {
    std::string method;        // GET, POST, DELETE, HEAD
    std::string path;          // below /tap: "", "/sync", "/async/ID/phase", ...
    tap_parameters parameters; // the query string's, then the body's, names upper case
    std::vector<std::pair<std::string, std::string>>
        query_pairs;              // the query string's, in
                                  // order, names upper case, repeats kept
    std::vector<form_part> parts; // the fields of a multipart body (files and others)
    std::string base;             // the service's URL: "http://host/tap"
};

// Reads `request` into `into`. Returns false with a whole response to send (a body too
// large, a malformed body).
bool read_tap_http(FCGX_Request& request, tap_http_request& into, std::string& refusal);

// Responses: a document with its media type (200), a redirection (303), a plain message.
std::string document_response(const std::string& type, const std::string& body);
std::string see_other(const std::string& location);
std::string text_response(int status, const std::string& text);

// A VOTable error document with `status`.
std::string tap_error_response(int status, const std::string& message);

// The two catalogues of `state` as a query sees them.
void catalogues_of(const site_state& state, tap_catalogue catalogues[2]);

#endif
