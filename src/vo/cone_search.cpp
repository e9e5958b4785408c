// Reading a cone search request and writing its answer.
#include "vo/cone_search.h"

#include "store/catalogue_store.h"
#include "vo/table_columns.h"
#include "vo/votable.h"
#include "web/query_string.h"

#include <cctype>
#include <charconv>
#include <cmath>

// The columns of an answer, most verbose first; VERB v writes the first column_counts[v].
static const column cone_columns[] = {
    {cell_identification, "id", "ID_MAIN", nullptr, nullptr, nullptr, "Name of the galaxy"},
    {cell_ascension, "ra", "POS_EQ_RA_MAIN", "deg", "ra", "deg", "Right ascension (J2000)"},
    {cell_declination, "dec", "POS_EQ_DEC_MAIN", "deg", "dec", "deg", "Declination (J2000)"},
    {cell_redshift, "z", "src.redshift", nullptr, nullptr, nullptr, "Spectroscopic redshift"},
    {cell_reference, "reference", "meta.bib", nullptr, nullptr, nullptr,
     "Reference of the redshift"},
    {cell_distance, "distance", "pos.angDistance", "deg", nullptr, nullptr,
     "Distance from the centre of the cone"},
    {cell_ascension_text, "ra_hms", "pos.eq.ra", "h:m:s", "ra", "hms",
     "Right ascension as written in the catalogue (seconds to 6 digits)"},
    {cell_declination_text, "dec_dms", "pos.eq.dec", "d:m:s", "dec", "dms",
     "Declination as written in the catalogue (seconds to 6 digits)"},
};
static const std::size_t column_counts[4] = {0, 3, 6, 8};

// The reasons of a refused request, each defined once.
namespace cone_messages {
const char missing[] = "a parameter is missing: ";         // then its name
const char repeated[] = "a parameter is given twice: ";    // then its name
const char not_number[] = "a parameter is not a number: "; // then its name
const char ra_range[] = "RA must be between 0 and 360 degrees";
const char dec_range[] = "DEC must be between -90 and 90 degrees";
const char sr_range[] = "SR must be between 0 and 180 degrees";
const char verb_value[] = "VERB must be 1, 2 or 3";
const char malformed[] = "the query string is not well formed";
const char overflow[] = "The answer was cut at the site's limit of rows; more entries lie "
                        "within the radius: ask a smaller one";
} // namespace cone_messages

// `text` as a finite decimal number: an optional sign, then what from_chars reads as a
// general number, and nothing else. Returns false for anything else.
static bool read_number(const std::string& text, double& value) {
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    bool plus = begin != end && *begin == '+';
    begin += plus; // from_chars reads a minus, never a plus
    const char* first = begin != end && *begin == '-' && !plus ? begin + 1 : begin;
    if (first == end || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.'))
        return false;
    std::from_chars_result read = std::from_chars(begin, end, value);
    return read.ec == std::errc() && read.ptr == end && std::isfinite(value);
}

// `text` with its ASCII letters in upper case.
static std::string upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Reads RA, DEC, SR and VERB from `query` (the URL's query string) into `request`.
// Returns false, with the reason in `why`, for a missing, repeated, unreadable or out of
// range parameter.
bool read_cone_request(const std::string& query, cone_request& request, std::string& why) {
    const char* names[4] = {"RA", "DEC", "SR", "VERB"};
    double values[4] = {0, 0, 0, 2};
    bool seen[4] = {};
    for (const std::string& pair : query_pairs(query)) {
        std::string name, value;
        std::size_t equals = pair.find('=');
        if (equals == std::string::npos)
            continue;
        if (!percent_decode(pair.substr(0, equals), name) ||
            !percent_decode(pair.substr(equals + 1), value)) {
            why = cone_messages::malformed;
            return false;
        }
        name = upper(name);
        for (int n = 0; n < 4; n++) {
            if (name != names[n])
                continue;
            if (seen[n]) {
                why = std::string(cone_messages::repeated) + names[n];
                return false;
            }
            seen[n] = true;
            if (!read_number(value, values[n])) {
                why = std::string(cone_messages::not_number) + names[n];
                return false;
            }
        }
    }
    for (int n = 0; n < 3; n++) {
        if (!seen[n]) {
            why = std::string(cone_messages::missing) + names[n];
            return false;
        }
    }
    if (!(values[0] >= 0 && values[0] <= 360))
        why = cone_messages::ra_range;
    else if (!(values[1] >= -90 && values[1] <= 90))
        why = cone_messages::dec_range;
    else if (!(values[2] >= 0 && values[2] <= largest_radius))
        why = cone_messages::sr_range;
    else if (!(values[3] == 1 || values[3] == 2 || values[3] == 3))
        why = cone_messages::verb_value;
    if (!why.empty())
        return false;
    request.where.centre = {values[0], values[1]};
    request.where.radius = values[2];
    request.verb = static_cast<int>(values[3]);
    return true;
}

static const char cone_description[] =
    "Entries of the galsift catalogue (J2000) within the radius, in catalogue order";

// Writes the whole answer to the cone search `query` over `store`, the J2000 catalogue: an error
// document for a refused request; the table's metadata alone for SR=0; else every entry within the
// cone, in catalogue order. With a `row_limit` above 0, at most that many rows are written, and an
// INFO says that the answer was cut.
void answer_cone(const std::string& query, const catalogue_store& store, std::size_t row_limit,
                 text_sink& out) {
    cone_request request;
    std::string why;
    if (!read_cone_request(query, request, why)) {
        put_votable_error(out, why);
        return;
    }
    std::size_t count = column_counts[request.verb];
    put_votable_head(out, 2000, cone_description, cone_columns, count);
    cone_answer answer;
    if (request.where.radius > 0)
        answer = cone_search(store, request.where, row_limit);
    for (const cone_match& match : answer.matches)
        put_votable_row(out, cone_columns, count, store.entry(match.row), match.distance);
    put_votable_tail(out, answer.cut ? cone_messages::overflow : "");
}
