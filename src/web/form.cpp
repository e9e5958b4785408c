// Decoding application/x-www-form-urlencoded form data into the query's fields, and
// checking each field as galsift would, so that a wrong one is named by its label.
#include "web/form.h"

#include "web/bound_text.h"
#include "web/query_string.h"

#include <cstdlib>

const char* const field_names[field_count] = {"epoch",   "ra_min", "ra_max", "dec_min",
                                              "dec_max", "z_min",  "z_max"};
const char* const field_labels[field_count] = {"Epoch",
                                               "Minimal right ascension",
                                               "Maximal right ascension",
                                               "Minimal declination",
                                               "Maximal declination",
                                               "Minimal redshift",
                                               "Maximal redshift"};

// The earlier form's seventeen fields. Each bound was four (a declination) or three
// boxes: the sign, then the three parts, joined here with ":" into the bound's text.
static const int old_count = 17;
static const char* const old_names[old_count] = {
    "epoch",     "ra_min_h",     "ra_min_m",  "ra_min_s",  "ra_max_h",  "ra_max_m",
    "ra_max_s",  "dec_min_sign", "dec_min_d", "dec_min_m", "dec_min_s", "dec_max_sign",
    "dec_max_d", "dec_max_m",    "dec_max_s", "z_min",     "z_max",
};
// The field of the seven that each of the seventeen belongs to.
static const field_index old_field[old_count] = {
    f_epoch,   f_ra_min,  f_ra_min,  f_ra_min,  f_ra_max,  f_ra_max,
    f_ra_max,  f_dec_min, f_dec_min, f_dec_min, f_dec_min, f_dec_max,
    f_dec_max, f_dec_max, f_dec_max, f_z_min,   f_z_max};

query_fields default_fields() {
    query_fields fields;
    const char* values[field_count] = {"2000",      "13:04:50", "13:05:10", "+24:25:00",
                                       "+24:35:00", "0.5",      "3"};
    for (int i = 0; i < field_count; i++)
        fields.value[i] = values[i];
    return fields;
}

// Undoes the percent-encoding and '+' of one name or value. Returns false for a broken
// escape, or for a decoded byte that is not printable ASCII (NUL, controls, non-ASCII):
// no field of the form needs one, except that a value may hold the degree sign.
static bool unescape(const std::string& text, std::string& out, bool value) {
    if (!percent_decode(text, out))
        return false;
    for (std::size_t i = 0; i < out.size(); i++) {
        if (value && out.compare(i, sizeof degree_sign - 1, degree_sign) == 0)
            i += sizeof degree_sign - 2;
        else if (out[i] < 0x20 || out[i] > 0x7e)
            return false;
    }
    return true;
}

// The index of `name` in `names`, -1 when it is not there.
static int index_of(const std::string& name, const char* const* names, int count) {
    for (int i = 0; i < count; i++)
        if (name == names[i])
            return i;
    return -1;
}

// Whether `text` is a decimal number as the query form reads it: an optional sign,
// digits with at most one '.', and an optional exponent of digits with an optional sign.
bool is_number_text(const std::string& text) {
    std::size_t i = 0, n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        i++;
    std::size_t digits = 0;
    bool point = false;
    for (; i < n; i++) {
        if (text[i] >= '0' && text[i] <= '9')
            digits++;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        i++;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            i++;
        std::size_t exponent_digits = 0;
        for (; i < n && text[i] >= '0' && text[i] <= '9'; i++)
            exponent_digits++;
        if (exponent_digits == 0)
            return false;
    }
    return i == n;
}

// `text` without the spaces and tabs at its ends.
static std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The seven fields' texts from the earlier form's seventeen. A declination's sign must
// be '+' or '-' (a sign joined to the degrees would read as part of them).
static void join_old_fields(const std::string (&old)[old_count], query_fields& out) {
    for (int i = 0; i < old_count;) {
        field_index field = old_field[i];
        if (field == f_dec_min || field == f_dec_max) {
            if (old[i] != "+" && old[i] != "-")
                out.error[field] = field_reasons::sign;
            out.value[field] = old[i] + old[i + 1] + ":" + old[i + 2] + ":" + old[i + 3];
            i += 4;
        } else if (field == f_ra_min || field == f_ra_max) {
            out.value[field] = old[i] + ":" + old[i + 1] + ":" + old[i + 2];
            i += 3;
        } else {
            out.value[field] = old[i++];
        }
    }
}

// Checks one bound field and writes its entry: "13:04:50.5", or "+12:30:0" for a
// declination. Returns the bound read, for the order of the interval.
static bound_text check_bound(query_fields& fields, int field, bool declination) {
    bound_text bound;
    const char* reason = read_bound(fields.value[field], declination, bound);
    if (reason) {
        fields.error[field] = reason;
        return bound;
    }
    std::string sign = declination ? std::string(1, bound.sign) : "";
    fields.entry[field] = sign + bound.part[0] + ":" + bound.part[1] + ":" + bound.part[2];
    return bound;
}

// Checks a redshift field and writes its entry; any number, negative ones included.
static void check_redshift(query_fields& fields, int field) {
    std::string text = trimmed(fields.value[field]);
    if (is_number_text(text))
        fields.entry[field] = text;
    else
        fields.error[field] = field_reasons::not_number;
}

// Marks the maximum of an interval that lies below its minimum, where both are accepted.
static void check_order(query_fields& fields, int low, double low_value, int high,
                        double high_value, const char* reason) {
    if (fields.error[low].empty() && fields.error[high].empty() && high_value < low_value)
        fields.error[high] = reason;
}

// Checks every field that has no error yet, writing its entry, and then each interval's
// order, as galsift checks them.
static void check_fields(query_fields& fields) {
    std::string epoch = trimmed(fields.value[f_epoch]);
    double year = is_number_text(epoch) ? std::strtod(epoch.c_str(), nullptr) : 0;
    if (year == 2000 || year == 1950)
        fields.entry[f_epoch] = year == 2000 ? "2000" : "1950";
    else
        fields.error[f_epoch] = field_reasons::epoch;
    bound_text bounds[field_count];
    for (int field : {f_ra_min, f_ra_max, f_dec_min, f_dec_max})
        if (fields.error[field].empty())
            bounds[field] = check_bound(fields, field, field >= f_dec_min);
    check_redshift(fields, f_z_min);
    check_redshift(fields, f_z_max);
    check_order(fields, f_ra_min, bounds[f_ra_min].value, f_ra_max, bounds[f_ra_max].value,
                field_reasons::ascension_order);
    check_order(fields, f_dec_min, bounds[f_dec_min].value, f_dec_max, bounds[f_dec_max].value,
                field_reasons::declination_order);
    if (fields.error[f_z_min].empty() && fields.error[f_z_max].empty())
        check_order(fields, f_z_min, std::strtod(fields.entry[f_z_min].c_str(), nullptr), f_z_max,
                    std::strtod(fields.entry[f_z_max].c_str(), nullptr),
                    field_reasons::redshift_order);
}

// Decodes `data`, the seven fields or the earlier seventeen, into `out`: each field
// exactly once, nothing else. Returns form_ok when every field is accepted (each entry
// then set); form_invalid when some field is not, its reason in out.error and every
// refused field's label and reason, one a line, in `why`; or another result with a short
// reason in `why` that names a field by its label, never echoing a value.
int decode_form(const std::string& data, query_fields& out, std::string& why) {
    out = query_fields{};
    if (data.size() > form_limit) {
        why = "the form data is too long";
        return form_oversized;
    }
    std::string old[old_count];
    bool seen[field_count] = {}, seen_old[old_count] = {};
    int new_only = 0, old_only = 0; // fields of one form alone
    for (const std::string& pair : query_pairs(data)) {
        std::size_t equals = pair.find('=');
        std::string name, value;
        if (equals == std::string::npos || !unescape(pair.substr(0, equals), name, false) ||
            !unescape(pair.substr(equals + 1), value, true)) {
            why = "the form data is not well formed";
            return form_malformed;
        }
        int field = index_of(name, field_names, field_count);
        int old_index = index_of(name, old_names, old_count);
        if (field < 0 && old_index < 0) {
            why = "the form holds an unknown field";
            return form_malformed;
        }
        const char* label = field_labels[field >= 0 ? field : old_field[old_index]];
        if (field >= 0 ? seen[field] : seen_old[old_index]) {
            why = std::string("a field appears twice: ") + label;
            return form_malformed;
        }
        if (value.size() > field_limit) {
            why = std::string("a field is too long: ") + label;
            return form_oversized;
        }
        // "epoch", "z_min" and "z_max" are in both forms.
        if (field >= 0) {
            seen[field] = true;
            out.value[field] = value;
            new_only += old_index < 0;
        }
        if (old_index >= 0) {
            seen_old[old_index] = true;
            old[old_index] = value;
            old_only += field < 0;
        }
    }
    if (new_only > 0 && old_only > 0) {
        why = "the form mixes the fields of two forms";
        return form_malformed;
    }
    const bool* present = old_only > 0 ? seen_old : seen;
    for (int i = 0; i < (old_only > 0 ? old_count : field_count); i++) {
        if (!present[i]) {
            why =
                std::string("a field is missing: ") + field_labels[old_only > 0 ? old_field[i] : i];
            return form_malformed;
        }
    }
    if (old_only > 0)
        join_old_fields(old, out);
    check_fields(out);
    why.clear();
    for (int i = 0; i < field_count; i++)
        if (!out.error[i].empty())
            why += std::string(field_labels[i]) + ": " + out.error[i] + "\n";
    return why.empty() ? form_ok : form_invalid;
}
