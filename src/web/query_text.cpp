// Writing "query.frm": seven entries, one a line, each after a label ending with "=".
#include "web/query_text.h"

#include <cassert>

// The text of "query.frm" for accepted fields. Their entries hold only number characters,
// ':' and a declination's sign, so none of them can add, end or shift an entry.
std::string query_form_text(const query_fields& fields) {
    for (const std::string& entry : fields.entry) {
        assert(!entry.empty());
        (void)entry;
    }
    return "Epoch=" + fields.entry[f_epoch] + "\n" +                 //
           "Minimal ascension= " + fields.entry[f_ra_min] + "\n" +   //
           "Maximal ascension= " + fields.entry[f_ra_max] + "\n" +   //
           "Minimal declination=" + fields.entry[f_dec_min] + "\n" + //
           "Maximal declination=" + fields.entry[f_dec_max] + "\n" + //
           "Minimal redshift= " + fields.entry[f_z_min] + "\n" +     //
           "Maximal redshift= " + fields.entry[f_z_max] + "\n";
}
