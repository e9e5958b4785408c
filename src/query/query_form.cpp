// The query form: seven entries, each after an "=", read into the query state and checked.
#include "query/query_form.h"

#include "coords/sky_coords.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "input/settings_entry.h"
#include "query/descriptor_shift.h"
#include "query/query_bounds.h"

#include <cmath>

// Reads hours (or degrees), a separator, minutes, a separator, seconds, then white space.
// Each read stands alone: a field that does not convert keeps its value and the next
// read starts where this one stopped.
static void read_angle(input_file& form, arc& angle) {
    form.read_double(angle.degrees);
    form.skip_char();
    form.read_double(angle.minutes);
    form.skip_char();
    form.read_double(angle.seconds);
    form.skip_space();
}

// Reads a right-ascension entry: the angle after the next "=".
static void read_ascension_entry(input_file& form, arc& angle) {
    descriptor_shift(form, '=');
    read_angle(form, angle);
}

// Reads a declination entry: its sign character directly after the next "=", then the
// angle. Returns the sign character, '+' when there was none to read.
static char read_declination_entry(input_file& form, arc& angle) {
    descriptor_shift(form, '=');
    char sign = '+';
    form.read_char(sign);
    read_angle(form, angle);
    return sign;
}

// Moves a declination's sign character into `sign`, keeping degrees as a magnitude.
static void apply_sign(arc& angle, char sign) {
    angle.sign = sign == '-' ? -1 : 1;
    angle.degrees = std::fabs(angle.degrees);
}

// Reads the entries in order and makes every check, so that every problem found has its
// message.
int read_query_form(input_file& form, query_bounds& query) {
    read_int_entry(form, query.epoch);
    read_ascension_entry(form, query.minimal_ascension);
    read_ascension_entry(form, query.maximal_ascension);
    char minimal_sign = read_declination_entry(form, query.minimal_declination);
    char maximal_sign = read_declination_entry(form, query.maximal_declination);
    read_double_entry(form, query.min_redshift);
    read_double_entry(form, query.max_redshift);
    if (!form.close()) {
        say(messages::no_query_file);
        return query_invalid;
    }

    int result = query_valid;
    if (minimal_sign != '+' && minimal_sign != '-') {
        say(messages::minimal_sign_lost);
        result = query_invalid;
    }
    if (maximal_sign != '+' && maximal_sign != '-') {
        say(messages::maximal_sign_lost);
        result = query_invalid;
    }
    apply_sign(query.minimal_declination, minimal_sign);
    apply_sign(query.maximal_declination, maximal_sign);

    sky_coords lower_corner{query.minimal_declination, query.minimal_ascension};
    sky_coords upper_corner{query.maximal_declination, query.maximal_ascension};
    if (lower_corner.value_checker() * upper_corner.value_checker() == 0)
        result = query_invalid;
    if (std::isnan(query.min_redshift) || std::isnan(query.max_redshift))
        result = query_invalid;
    if (result == query_invalid) {
        say(messages::usage_head);
        say(messages::usage_coordinates);
        say(messages::usage_redshift);
        say(messages::usage_fields);
    }
    if (query.minimal_declination.value() > query.maximal_declination.value()) {
        say(messages::declination_order);
        result = query_invalid;
    }
    if (query.minimal_ascension.value() > query.maximal_ascension.value()) {
        say(messages::ascension_order);
        result = query_invalid;
    }
    if (query.min_redshift > query.max_redshift) {
        say(messages::redshift_order);
        result = query_invalid;
    }
    return result;
}

// The query state holds what was read, whatever the checks found.
int init_query_parameters() {
    input_file form;
    if (!form.open("query.frm")) {
        say(messages::no_query_file);
        return query_invalid;
    }
    query_bounds query = program_query();
    int result = read_query_form(form, query);
    set_program_query(query);
    return result;
}
