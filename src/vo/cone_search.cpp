// Reading a cone search request and writing its answer.
#include "vo/cone_search.h"

#include "store/catalogue_store.h"
#include "vo/csv_table.h"
#include "vo/table_columns.h"
#include "vo/text_encoding.h"
#include "vo/votable.h"
#include "web/ascii_case.h"
#include "web/query_string.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

// VERB v writes the first column_counts[v] of cone_columns.
static const std::size_t column_counts[4] = {0, 3, 6, 8};

// The reasons of a refused request, and the texts of a cut answer, each defined once.
namespace cone_messages {
const char missing[] = "a parameter is missing: ";         // then its name
const char repeated[] = "a parameter is given twice: ";    // then its name
const char not_number[] = "a parameter is not a number: "; // then its name
const char ra_range[] = "RA must be between 0 and 360 degrees";
const char dec_range[] = "DEC must be between -90 and 90 degrees";
const char sr_range[] = "SR must be between 0 and 180 degrees";
const char verb_value[] = "VERB must be 1, 2 or 3";
const char maxrec_value[] = "MAXREC must be a whole number of rows, 0 or more";
const char format_value[] = "RESPONSEFORMAT must be votable, csv, "
                            "application/x-votable+xml, text/xml or text/csv";
const char malformed[] = "the query string is not well formed";
const char overflow[] = "The answer was cut at the site's limit of rows; more entries lie "
                        "within the radius: ask a smaller one";
const char maxrec_overflow[] = "The answer was cut at MAXREC rows; more entries lie within "
                               "the radius";
const char metadata_only[] = "MAXREC=0: the table's fields, without rows";
} // namespace cone_messages

// The formats RESPONSEFORMAT may name (in lower case), and the Content-Type of each.
static const struct {
    const char* name;
    cone_format format;
    const char* content_type;
} response_formats[] = {
    {"votable", cone_votable, votable_content_type},
    {"text/xml", cone_votable, votable_content_type},
    {"application/x-votable+xml", cone_votable, "application/x-votable+xml"},
    {"csv", cone_csv, csv_content_type},
    {"text/csv", cone_csv, csv_content_type},
};

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

// `text` as MAXREC: decimal digits alone, a number of rows from 0. Values past 10^15 are
// taken as 10^15, more rows than any catalogue holds. Returns false for anything else.
static bool read_row_count(const std::string& text, long long& rows) {
    if (text.empty() || text.size() > 40)
        return false;
    rows = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        rows = rows < 1000000000000000LL ? rows * 10 + (c - '0') : rows;
    }
    rows = rows < 1000000000000000LL ? rows : 1000000000000000LL;
    return true;
}

// Reads RESPONSEFORMAT's `text` into `request`. Returns false for a format not answered.
static bool read_response_format(const std::string& text, cone_request& request) {
    std::string name = ascii_lower(text);
    for (const auto& known : response_formats) {
        if (name == known.name) {
            request.format = known.format;
            request.content_type = known.content_type;
            return true;
        }
    }
    return false;
}

// Reads RA, DEC, SR, VERB, MAXREC and RESPONSEFORMAT from `query` (the URL's query string)
// into `request`. Returns false, with the reason in `why`, for a missing, repeated,
// unreadable or out of range parameter.
bool read_cone_request(const std::string& query, cone_request& request, std::string& why) {
    const char* names[6] = {"RA", "DEC", "SR", "VERB", "MAXREC", "RESPONSEFORMAT"};
    double values[4] = {0, 0, 0, 2};
    bool seen[6] = {};
    request.content_type = votable_content_type;
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
        name = ascii_upper(name);
        for (int n = 0; n < 6; n++) {
            if (name != names[n])
                continue;
            if (seen[n]) {
                why = std::string(cone_messages::repeated) + names[n];
                return false;
            }
            seen[n] = true;
            if (n < 4 && !read_number(value, values[n]))
                why = std::string(cone_messages::not_number) + names[n];
            else if (n == 4 && !read_row_count(value, request.maxrec))
                why = cone_messages::maxrec_value;
            else if (n == 5 && !read_response_format(value, request))
                why = cone_messages::format_value;
            if (!why.empty())
                return false;
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

// The matches of `request` over `store`: none for SR=0 or MAXREC=0, else every entry within
// the cone, in catalogue order, up to the smaller of MAXREC and the site's limit.
// `overflow` gets why the answer holds fewer rows than the query matched, or stays empty.
static cone_answer matches_of(const cone_request& request, const catalogue_store& store,
                              const cone_service& service, std::string& overflow) {
    std::size_t limit = service.row_limit;
    bool by_maxrec = false;
    if (request.maxrec >= 0) {
        // More rows than a size_t counts are all the rows there are.
        std::size_t asked = static_cast<unsigned long long>(request.maxrec) <
                                    std::numeric_limits<std::size_t>::max()
                                ? static_cast<std::size_t>(request.maxrec)
                                : std::numeric_limits<std::size_t>::max();
        by_maxrec = limit == 0 || asked < limit;
        limit = by_maxrec ? asked : limit;
    }
    cone_answer answer;
    if (by_maxrec && limit == 0) {
        overflow = cone_messages::metadata_only;
        return answer;
    }
    if (request.where.radius > 0)
        answer = cone_search(store, request.where, limit);
    if (answer.cut)
        overflow = by_maxrec ? cone_messages::maxrec_overflow : cone_messages::overflow;
    return answer;
}

// The answer as CSV: a header line of the columns' names, then a line per match. CSV has
// no place for the status: a cut answer is not marked.
static void put_cone_csv(text_sink& out, const cone_answer& answer, const catalogue_store& store,
                         std::size_t count) {
    std::string line;
    for (std::size_t n = 0; n < count; n++)
        line += (n ? "," : "") + std::string(cone_columns[n].name);
    out.put(line + "\r\n");
    for (const cone_match& match : answer.matches) {
        catalogue_entry entry = store.entry(match.row);
        line.clear();
        for (std::size_t n = 0; n < count; n++)
            line +=
                (n ? "," : "") + csv_field(cell_text(cone_columns[n].kind, entry, match.distance));
        out.put(line + "\r\n");
    }
}

// Writes the answer to the accepted `request` over `store`, the J2000 catalogue, in the
// format it asks for: the table's metadata alone for SR=0 or MAXREC=0; else the entries
// within the cone, in catalogue order, at most MAXREC or the site's limit of them, the
// status saying OVERFLOW when more matched.
void write_cone_answer(const cone_request& request, const catalogue_store& store,
                       const cone_service& service, text_sink& out) {
    std::string overflow;
    cone_answer answer = matches_of(request, store, service, overflow);
    std::size_t count = column_counts[request.verb];
    if (request.format == cone_csv) {
        put_cone_csv(out, answer, store, count);
        return;
    }
    put_votable_head(out, service.frame, cone_description, cone_columns, count, overflow);
    for (const cone_match& match : answer.matches)
        put_votable_row(out, cone_columns, count, store.entry(match.row), match.distance);
    put_votable_tail(out);
}

// Writes the whole answer to the cone search `query` over `store`: an error document for a
// refused request, else what write_cone_answer writes.
void answer_cone(const std::string& query, const catalogue_store& store,
                 const cone_service& service, text_sink& out) {
    cone_request request;
    std::string why;
    if (!read_cone_request(query, request, why))
        put_votable_error(out, why);
    else
        write_cone_answer(request, store, service, out);
}
