// Test support for the table access service: a catalogue written and loaded into a
// store, and a query run over it with the answer's text returned.
#ifndef GALSIFT_TESTS_TAP_TAP_FIXTURE_H
#define GALSIFT_TESTS_TAP_TAP_FIXTURE_H

#include "store/store_load.h"
#include "tap/tap_run.h"

#include "scratch_dir.h"

#include <string>
#include <vector>

struct tap_fixture : scratch_dir {
    catalogue_store store; // CG2000.dat, once load() has read it
    tap_catalogue catalogues[2];

    // Writes `text` as CG2000.dat and loads it; the 1950 catalogue stays unreadable.
    void load(const std::string& text) {
        write_file("CG2000.dat", text);
        store_load_report report;
        ASSERT_EQ(load_store("CG2000.dat", store, report), store_loaded);
        catalogues[0].epoch = 2000;
        catalogues[0].store = &store;
        catalogues[1].epoch = 1950;
        catalogues[1].unreadable = "CG1950.dat cannot be read now";
    }

    // Runs `adql` in `format` with `maxrec` and the multipart fields `parts`; the answer's
    // text goes to `answer`.
    tap_outcome run(const std::string& adql, std::string& answer, tap_format format = tap_csv,
                    long long maxrec = 1000000, const std::vector<form_part>& parts = {},
                    const std::vector<upload_reference>& uploads = {}) {
        tap_run_input input;
        input.catalogues = catalogues;
        input.request.query = adql;
        input.request.format = format;
        input.request.maxrec = maxrec;
        input.request.uploads = uploads;
        input.parts = &parts;
        input.upload_limit = 1 << 20;
        input.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        text_sink out;
        tap_outcome outcome = run_tap_query(input, out);
        answer = out.held;
        return outcome;
    }
};

#endif
