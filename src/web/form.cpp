// Decoding application/x-www-form-urlencoded form data into the query's fields.
#include "web/form.h"

const char* const field_names[field_count] = {
    "epoch",     "ra_min_h",     "ra_min_m",  "ra_min_s",  "ra_max_h",  "ra_max_m",
    "ra_max_s",  "dec_min_sign", "dec_min_d", "dec_min_m", "dec_min_s", "dec_max_sign",
    "dec_max_d", "dec_max_m",    "dec_max_s", "z_min",     "z_max",
};

static int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Undoes the percent-encoding and '+' of one name or value. Returns false for a broken
// escape, or for a decoded byte that is not printable ASCII (NUL, controls, non-ASCII):
// no field of the form needs one.
static bool unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size())
                return false;
            int high = hex_value(text[i + 1]), low = hex_value(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (c < 0x20 || c > 0x7e)
            return false;
        out += c;
    }
    return true;
}

static int field_of(const std::string& name) {
    for (int i = 0; i < field_count; i++)
        if (name == field_names[i])
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

// Whether a checked field's text is acceptable for the field: a sign field holds only
// '+' or '-', every other field a number.
static bool acceptable(int field, const std::string& text) {
    if (field == f_dec_min_sign || field == f_dec_max_sign)
        return text == "+" || text == "-";
    return is_number_text(text);
}

// Decodes `data` into `out`. Every field must appear exactly once, nothing else may
// appear, and every value must be acceptable. Returns form_ok, or another result with a
// short reason in `why` (names only the field, never echoes its value).
int decode_form(const std::string& data, query_fields& out, std::string& why) {
    if (data.size() > form_limit) {
        why = "the form data is too long";
        return form_oversized;
    }
    bool seen[field_count] = {};
    std::size_t start = 0;
    while (start <= data.size()) {
        std::size_t end = data.find('&', start);
        if (end == std::string::npos)
            end = data.size();
        std::string pair = data.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;
        std::size_t equals = pair.find('=');
        std::string name, value;
        if (equals == std::string::npos || !unescape(pair.substr(0, equals), name) ||
            !unescape(pair.substr(equals + 1), value)) {
            why = "the form data is not well formed";
            return form_malformed;
        }
        int field = field_of(name);
        if (field < 0 || seen[field]) {
            why = field < 0 ? "the form holds an unknown field" : "a field appears twice: " + name;
            return form_malformed;
        }
        seen[field] = true;
        if (value.size() > field_limit) {
            why = "a field is too long: " + name;
            return form_oversized;
        }
        if (!acceptable(field, value)) {
            bool sign = field == f_dec_min_sign || field == f_dec_max_sign;
            why = (sign ? "a declination sign is neither + nor -: "
                        : "a field does not hold a number: ") +
                  name;
            return form_not_number;
        }
        out.value[field] = value;
    }
    for (int i = 0; i < field_count; i++) {
        if (!seen[i]) {
            why = std::string("a field is missing: ") + field_names[i];
            return form_malformed;
        }
    }
    return form_ok;
}
