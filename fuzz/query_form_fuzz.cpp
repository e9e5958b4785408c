// Fuzz target: the query form reader.
//
// The input is the whole "query.frm". The program's reader must neither crash nor read
// out of bounds, must find the same values as the form read one C-library conversion at
// a time, must write the same messages, and may accept only a query box that is valid.
#include "flow/globals.h"
#include "fuzz_support.h"
#include "query/query_form.h"
#include "reference_reader.h"

#include <cmath>
#include <cstdio>
#include <string>

// Describes an angle for a finding.
static std::string show(const arc& angle) {
    char text[160];
    std::snprintf(text, sizeof text, "%a %a %a sign %d", angle.degrees, angle.minutes,
                  angle.seconds, angle.sign);
    return text;
}

// Whether two angles hold the very same fields and sign.
static bool same_arc(const arc& a, const arc& b) {
    return same_double(a.degrees, b.degrees) && same_double(a.minutes, b.minutes) &&
           same_double(a.seconds, b.seconds) && a.sign == b.sign;
}

// The reference reading's bounds with the declination signs moved into `sign`, as the
// reader leaves them.
static void apply_signs(reference_query& query) {
    for (int n = 0; n < 2; n++) {
        arc& bound = query.bounds[2 + n];
        bound.sign = query.signs[n] == '-' ? -1 : 1;
        bound.degrees = std::fabs(bound.degrees);
    }
}

// One input: the query form, read and checked by the program and by the reference.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enter_scratch_dir();
    reset_fuzz_state();
    write_file("query.frm", data, size);
    begin_capture();
    int result = init_query_parameters();
    std::string output = end_capture();

    reference_input in;
    if (!in.open("query.frm"))
        finding("query.frm vanished", "");
    reference_query query;
    reference_read_query(in, query);
    in.close();
    apply_signs(query);

    if (query.fields_read >= 1 && epoch != query.epoch)
        finding("epoch differs", std::to_string(epoch) + " vs " + std::to_string(query.epoch));
    const arc* bounds[4] = {&minimal_ascension, &maximal_ascension, &minimal_declination,
                            &maximal_declination};
    for (int n = 0; n < 4 && n + 1 < query.fields_read; n++)
        if (!same_arc(*bounds[n], query.bounds[n]))
            finding("bound differs",
                    std::to_string(n) + ": " + show(*bounds[n]) + " vs " + show(query.bounds[n]));
    const double* redshifts[2] = {&min_redshift, &max_redshift};
    for (int n = 0; n < 2 && n + 5 < query.fields_read; n++)
        if (!same_double(*redshifts[n], query.redshifts[n]))
            finding("redshift differs", std::to_string(n));

    if (query.fields_read == 7) {
        std::string expected = in.messages;
        int verdict = reference_check_query(query.bounds, query.signs, query.redshifts, expected);
        if (output != expected)
            finding("messages differ", "program:\n" + output + "\nexpected:\n" + expected);
        if (result != verdict)
            finding("verdict differs", std::to_string(result));
    }

    // Whatever was read, an accepted query is a valid box.
    if (result == 1) {
        const arc accepted[4] = {minimal_ascension, maximal_ascension, minimal_declination,
                                 maximal_declination};
        const char signs[2] = {'+', '+'};
        const double accepted_redshifts[2] = {min_redshift, max_redshift};
        std::string ignored;
        if (reference_check_query(accepted, signs, accepted_redshifts, ignored) != 1)
            finding("an invalid query box was accepted", ignored);
        if (minimal_declination.sign * minimal_declination.sign != 1 ||
            maximal_declination.sign * maximal_declination.sign != 1)
            finding("a declination sign is neither +1 nor -1", "");
    } else if (result != 0) {
        finding("init_query_parameters gave neither 0 nor 1", std::to_string(result));
    }
    leave_scratch_dir();
    return 0;
}
