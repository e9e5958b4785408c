// The publisher's settings of the table access service, from the web server's
// environment, read once at start-up.
#ifndef GALSIFT_TAP_TAP_SETTINGS_H
#define GALSIFT_TAP_TAP_SETTINGS_H

#include <cstddef>

struct tap_settings {
    long long maxrec = 20000;            // GALSIFT_TAP_MAXREC: rows of an answer without MAXREC
    long long maxrec_limit = 1000000;    // GALSIFT_TAP_MAXREC_LIMIT: rows of an answer at most,
                                         // whatever MAXREC asks
    int sync_seconds = 60;               // GALSIFT_TAP_SYNC_LIMIT: seconds a /tap/sync query runs
    int async_seconds = 3600;            // GALSIFT_TAP_ASYNC_LIMIT: seconds an async job runs at
                                         // most (and by default)
    int jobs = 2;                        // GALSIFT_TAP_JOBS: async jobs running at once; more wait
                                         // QUEUED
    int retention = 86400;               // GALSIFT_TAP_RETENTION: seconds from a job's creation to
                                         // its destruction, at most (and by default)
    std::size_t upload_limit = 16 << 20; // GALSIFT_TAP_UPLOAD_LIMIT: bytes of a request's
                                         // body (its uploads) at most
};

// The settings from the environment; a variable unset, or not a whole number in its
// range, leaves its default.
tap_settings tap_settings_from_environment();

#endif
