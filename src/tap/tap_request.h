// The parameters of a query to the table access service (DALI, TAP): gathered from a
// query string, a form body or the fields of a multipart body, their names in any case,
// and checked into what a run needs.
#ifndef GALSIFT_TAP_TAP_REQUEST_H
#define GALSIFT_TAP_TAP_REQUEST_H

#include "tap/tap_settings.h"
#include "web/ascii_case.h"

#include <string>
#include <utility>
#include <vector>

// Parameters in their order, each name in upper case. UPLOAD may come many times; any
// other name counts once, its last value.
struct tap_parameters {
    std::vector<std::pair<std::string, std::string>> pairs;

    // The last value of `name` (upper case), or null.
    const std::string* find(const std::string& name) const;
    // Sets `name` to `value`: an UPLOAD is added, another name replaces its value.
    void set(const std::string& name, const std::string& value);
};

// Adds the pairs of `query`, application/x-www-form-urlencoded. Returns false when an
// escape is malformed.
bool add_form_pairs(const std::string& query, tap_parameters& parameters);

enum tap_format { tap_votable, tap_csv, tap_tsv };

// A table a query brings along: its name in TAP_UPLOAD, and the multipart field that holds
// it ("param:x" names x).
struct upload_reference {
    std::string table;
    std::string part;
};

// A query as a run takes it.
struct tap_query_request {
    std::string query; // the ADQL
    tap_format format = tap_votable;
    long long maxrec = 0; // rows written at most, the limits applied
    std::vector<upload_reference> uploads;
    std::string runid; // the client's own name of the run, returned as given
};

// Checks `parameters` as a query: REQUEST doQuery when given, LANG ADQL (ADQL-2.0,
// ADQL-2.1), QUERY, RESPONSEFORMAT (or FORMAT) one of those written here, MAXREC a whole
// number from 0 (the service's default when missing, its limit at most), UPLOAD pairs of a
// table name and param:NAME. Returns true, or false with the reason in `why`.
bool read_tap_request(const tap_parameters& parameters, const tap_settings& settings,
                      tap_query_request& request, std::string& why);

// The format RESPONSEFORMAT (or FORMAT) asks for: VOTable unless it names another.
tap_format format_asked(const tap_parameters& parameters);

// The media type of an answer in `format`.
const char* format_media_type(tap_format format);

#endif
