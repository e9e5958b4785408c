// Writing "query.frm": seven entries, one a line, each after a label ending with "=".
#include "web/query_text.h"

// One angle entry: the label, then hours (or degrees), minutes and seconds joined by ":".
static std::string angle_entry(const char* label, const std::string& sign,
                               const query_fields& fields, int first) {
    return std::string(label) + sign + fields.value[first] + ":" + fields.value[first + 1] + ":" +
           fields.value[first + 2] + "\n";
}

// The text of "query.frm" for checked fields. The fields hold only number characters
// and signs, so none of them can add, end or shift an entry.
std::string query_form_text(const query_fields& fields) {
    std::string text = "Epoch=" + fields.value[f_epoch] + "\n";
    text += angle_entry("Minimal ascension= ", "", fields, f_ra_min_h);
    text += angle_entry("Maximal ascension= ", "", fields, f_ra_max_h);
    text += angle_entry("Minimal declination=", fields.value[f_dec_min_sign], fields, f_dec_min_d);
    text += angle_entry("Maximal declination=", fields.value[f_dec_max_sign], fields, f_dec_max_d);
    text += "Minimal redshift= " + fields.value[f_z_min] + "\n";
    text += "Maximal redshift= " + fields.value[f_z_max] + "\n";
    return text;
}
