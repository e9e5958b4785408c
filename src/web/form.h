// The query form as a visitor submits it: seven fields, each bound typed as one text
// ("13:04:50.5", "-0 30 0", "12d30m00s", decimal hours "12.5h" or degrees "187.5d"). The seventeen
// fields of the earlier form (hours, minutes, seconds and signs apart) are still taken, and are
// read as the seven.
#ifndef GALSIFT_WEB_FORM_H
#define GALSIFT_WEB_FORM_H

#include <cstddef>
#include <string>

// The longest form data accepted, in bytes, and the longest value of one field.
const std::size_t form_limit = 4096;
const std::size_t field_limit = 32;

// The fields, in the order of the entries of "query.frm".
enum field_index {
    f_epoch,
    f_ra_min,
    f_ra_max,
    f_dec_min,
    f_dec_max,
    f_z_min,
    f_z_max,
    field_count
};

// Each field's name in the form data, and its label on the form, which every message
// about it uses.
extern const char* const field_names[field_count];
extern const char* const field_labels[field_count];

struct query_fields {
    std::string value[field_count]; // the text the visitor sent, to fill the form again
    std::string error[field_count]; // why the field is refused; empty when it is accepted
    std::string entry[field_count]; // the field as "query.frm" holds it, once accepted
};

// The form as a visitor first sees it: the example query.
query_fields default_fields();

// The reasons a field other than a bound is refused (each follows the field's label).
namespace field_reasons {
inline const char epoch[] = "must be 2000 or 1950";
inline const char sign[] = "the sign must be + or -";
inline const char not_number[] = "is not a number";
inline const char ascension_order[] = "is below the minimal right ascension";
inline const char declination_order[] = "is below the minimal declination";
inline const char redshift_order[] = "is below the minimal redshift";
} // namespace field_reasons

// Results of decode_form.
const int form_ok = 0;
const int form_malformed = 1; // broken encoding, unknown, repeated or missing field
const int form_oversized = 2; // more than form_limit bytes, or a field over field_limit
const int form_invalid = 3;   // some field does not hold what its label asks for

int decode_form(const std::string& data, query_fields& out, std::string& why);
bool is_number_text(const std::string& text);

#endif
