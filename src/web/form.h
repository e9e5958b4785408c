// The query form as a visitor submits it: seventeen fields, each checked to hold only
// what a number (or a declination sign) can hold.
#ifndef GALSIFT_WEB_FORM_H
#define GALSIFT_WEB_FORM_H

#include <cstddef>
#include <string>

// The longest form data accepted, in bytes, and the longest value of one field.
const std::size_t form_limit = 4096;
const std::size_t field_limit = 32;

// Names of the fields, in the order of the entries of "query.frm".
enum field_index {
    f_epoch,
    f_ra_min_h,
    f_ra_min_m,
    f_ra_min_s,
    f_ra_max_h,
    f_ra_max_m,
    f_ra_max_s,
    f_dec_min_sign,
    f_dec_min_d,
    f_dec_min_m,
    f_dec_min_s,
    f_dec_max_sign,
    f_dec_max_d,
    f_dec_max_m,
    f_dec_max_s,
    f_z_min,
    f_z_max,
    field_count
};

extern const char* const field_names[field_count];

struct query_fields {
    std::string value[field_count]; // decoded and checked text of each field
};

// Results of decode_form.
const int form_ok = 0;
const int form_malformed = 1;  // broken encoding, unknown, repeated or missing field
const int form_oversized = 2;  // more than form_limit bytes, or a field over field_limit
const int form_not_number = 3; // a field holds something a number cannot

int decode_form(const std::string& data, query_fields& out, std::string& why);
bool is_number_text(const std::string& text);

#endif
