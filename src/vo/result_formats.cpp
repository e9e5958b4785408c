// The choice of a /results request's format, the downloads, and the notice of a cut page.
#include "vo/result_formats.h"

#include "vo/csv_table.h"
#include "vo/votable.h"
#include "web/query_string.h"

#include <cassert>
#include <cstdlib>

// A whole number of rows from the environment, 0 to 100,000,000, else `fallback`.
static int rows_setting(const char* name, int fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    long number = std::strtol(value, &end, 10);
    if (*end != 0 || number < 0 || number > 100000000)
        return fallback;
    return static_cast<int>(number);
}

// The limits of this installation: each setting's value when it is a whole number from 0
// to 100,000,000, else its default.
answer_limits answer_limits_settings() {
    answer_limits limits;
    limits.page_rows = rows_setting("GALSIFT_PAGE_ROWS", limits.page_rows);
    limits.cone_rows = rows_setting("GALSIFT_CONE_ROWS", limits.cone_rows);
    limits.all_rows = rows_setting("GALSIFT_ALL_ROWS", limits.all_rows);
    return limits;
}

// Removes every "format=..." and "rows=..." pair from the form data `data` into `choice`.
// Returns false, with the reason in `why`, for an unknown value or a pair given twice; the
// other pairs are left as they stand, in their order.
bool take_result_choice(std::string& data, result_choice& choice, std::string& why) {
    std::string rest;
    bool format_seen = false, rows_seen = false;
    for (const std::string& pair : query_pairs(data)) {
        if (pair.compare(0, 7, "format=") == 0) {
            std::string value = pair.substr(7);
            if (format_seen ||
                (value != "html" && value != "votable" && value != "csv" && value != "sky")) {
                why = format_seen ? "a field appears twice: format" : "unknown format";
                return false;
            }
            format_seen = true;
            choice.format = value == "votable" ? format_votable
                            : value == "csv"   ? format_csv
                            : value == "sky"   ? format_sky
                                               : format_page;
        } else if (pair.compare(0, 5, "rows=") == 0) {
            if (rows_seen || pair != "rows=all") {
                why = rows_seen ? "a field appears twice: rows" : "rows can only be all";
                return false;
            }
            rows_seen = true;
            choice.all_rows = true;
        } else {
            rest += (rest.empty() ? "" : "&") + pair;
        }
    }
    data = rest;
    return true;
}

// The Content-Type of an answer in `format`.
const char* content_type_of(result_format format) {
    switch (format) {
    case format_votable:
        return votable_content_type;
    case format_csv:
        return csv_content_type;
    case format_sky:
        return "image/svg+xml";
    default:
        return "text/html";
    }
}

// The file name a download is offered under ("galsift-J2000.vot"); null for the page.
const char* file_name_of(result_format format, int epoch) {
    bool fk4 = epoch == 1950;
    switch (format) {
    case format_votable:
        return fk4 ? "galsift-B1950.vot" : "galsift-J2000.vot";
    case format_csv:
        return fk4 ? "galsift-B1950.csv" : "galsift-J2000.csv";
    default:
        return nullptr;
    }
}

// Writes the download of the selected entries `rows` of the catalogue of `epoch` in
// `format`, a VOTable (positions in `frame`, described with `publisher`'s texts) or CSV.
void put_selection(result_format format, entry_reader rows, int epoch,
                   const coordinate_frame& frame, const publisher_texts& publisher,
                   text_sink& out) {
    assert(format == format_votable || format == format_csv);
    if (format == format_votable)
        put_selection_votable(out, rows, frame, publisher);
    else
        put_selection_csv(out, rows, epoch);
}

// `data` as it may stand in a link: letters, digits, "-._~", and the "=", "&", "+" and "%"
// of the form's own encoding kept, "&" written as HTML writes it in an attribute, every
// other byte percent-encoded, so that no quote or bracket reaches the page.
static std::string link_query(const std::string& data) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (char byte : data) {
        unsigned char c = static_cast<unsigned char>(byte);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '.' || c == '_' || c == '~' || c == '=' || c == '%' ||
                     c == '+';
        if (plain) {
            out += static_cast<char>(c);
        } else if (c == '&') {
            out += "&amp;";
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// The notice a cut page shows above its table: that it shows only the first `shown`
// rows, and links to the whole selection as VOTable and CSV and to the complete page.
// `data` is the request's form data without its format and rows pairs (already checked
// by the front end).
std::string cut_notice_text(const std::string& data, int shown) {
    std::string query = "results?" + link_query(data);
    return "<p><b>The table below shows only the first " + std::to_string(shown) +
           " records, to keep this page usable.</b><br>\n"
           "All of them: <a href=\"" +
           query + "&amp;format=votable\">VOTable</a>, <a href=\"" + query +
           "&amp;format=csv\">CSV</a>, <a href=\"" + query +
           "&amp;rows=all\">the complete page</a> (large).</p>\n";
}
