// One run of a query of the table access service, sync or async: its uploads read, its
// connection opened, its ADQL translated and its rows written, within a time limit and
// until aborted.
#ifndef GALSIFT_TAP_TAP_RUN_H
#define GALSIFT_TAP_TAP_RUN_H

#include "tap/multipart.h"
#include "tap/tap_database.h"
#include "tap/tap_request.h"
#include "vo/text_sink.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

struct tap_run_input {
    const tap_catalogue* catalogues = nullptr; // the two epochs', for the whole run
    tap_query_request request;
    const std::vector<form_part>* parts = nullptr;  // the fields the uploads name
    std::size_t upload_limit = 0;                   // bytes of all uploads at most
    std::chrono::steady_clock::time_point deadline; // the run stops here
    const std::atomic<bool>* abort = nullptr;       // set: the run stops (null: never)
};

// The results of run_tap_query.
enum {
    tap_completed = 0, // the whole answer was written
    tap_refused = 1,   // nothing was written: the request or its query is wrong (`message`)
    tap_failed = 2,    // nothing was written: the run could not be made (past its time,
                       // aborted, out of memory; `message`)
    tap_broken = 3,    // the answer was written in part, then the run failed; the answer
                       // ends as its format allows (a VOTable with QUERY_STATUS ERROR)
};

struct tap_outcome {
    int result = tap_completed;
    std::string message; // what went wrong, for the error document
    long long rows = 0;  // rows written
    bool overflow = false;
};

// Runs `input` and writes its answer into `out`. `out` gets nothing unless the result is
// tap_completed or tap_broken.
tap_outcome run_tap_query(const tap_run_input& input, text_sink& out);

#endif
