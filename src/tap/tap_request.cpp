// Gathering and checking a query's parameters.
#include "tap/tap_request.h"

#include "web/ascii_case.h"
#include "web/query_string.h"

#include <cerrno>
#include <cstdlib>

namespace {

// The reasons of a refused query, each defined once.
namespace refusals {
const char request[] = "REQUEST must be doQuery, not ";
const char no_lang[] = "LANG is missing: give LANG=ADQL";
const char lang[] = "unknown query language: LANG must be ADQL, ADQL-2.0 or ADQL-2.1, not ";
const char no_query[] = "QUERY is missing: give the ADQL query";
const char format[] = "RESPONSEFORMAT must be votable, csv or tsv (or their media types), not ";
const char maxrec[] = "MAXREC must be a whole number from 0, not ";
const char upload[] = "UPLOAD must be a table name, a comma and param:NAME (a field of the same "
                      "multipart/form-data request), not ";
const char upload_name[] = "an uploaded table's name must be an ADQL name (a letter, then "
                           "letters, digits or _), not ";
const char upload_twice[] = "two uploaded tables are named ";
} // namespace refusals

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The pieces of `text` between the `separator`s.
std::vector<std::string> pieces(const std::string& text, char separator) {
    std::vector<std::string> found;
    std::size_t start = 0, end;
    while ((end = text.find(separator, start)) != std::string::npos) {
        found.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    found.push_back(text.substr(start));
    return found;
}

// The format a RESPONSEFORMAT names: its short name or a media type (parameters after ";"
// ignored but for VOTable's serialization). Returns false for another.
bool format_of(const std::string& text, tap_format& format) {
    std::string value = ascii_lower(trimmed(text));
    std::string type = trimmed(value.substr(0, value.find(';')));
    if (value == "votable" || value == "votable/td" || type == "application/x-votable+xml" ||
        type == "text/xml" || type == "application/xml") {
        bool other = value.find("serialization=") != std::string::npos &&
                     value.find("serialization=tabledata") == std::string::npos;
        format = tap_votable;
        return !other;
    }
    if (value == "csv" || type == "text/csv") {
        format = tap_csv;
        return true;
    }
    if (value == "tsv" || type == "text/tab-separated-values") {
        format = tap_tsv;
        return true;
    }
    return false;
}

bool regular_identifier(const std::string& name) {
    if (name.empty() || !((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z')))
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

// Adds the uploads of one UPLOAD value ("name,param:x", several separated by ";").
bool read_uploads(const std::string& value, std::vector<upload_reference>& uploads,
                  std::string& why) {
    for (const std::string& each : pieces(value, ';')) {
        std::string item = trimmed(each);
        if (item.empty())
            continue;
        std::size_t comma = item.find(',');
        std::string name = trimmed(item.substr(0, comma));
        std::string where = comma == std::string::npos ? "" : trimmed(item.substr(comma + 1));
        if (where.compare(0, 6, "param:") != 0 || where.size() == 6) {
            why = refusals::upload + item;
            return false;
        }
        if (!regular_identifier(name)) {
            why = refusals::upload_name + name;
            return false;
        }
        for (const upload_reference& known : uploads)
            if (ascii_lower(known.table) == ascii_lower(name)) {
                why = refusals::upload_twice + name;
                return false;
            }
        uploads.push_back({name, where.substr(6)});
    }
    return true;
}

} // namespace

const std::string* tap_parameters::find(const std::string& name) const {
    for (std::size_t n = pairs.size(); n-- > 0;)
        if (pairs[n].first == name)
            return &pairs[n].second;
    return nullptr;
}

void tap_parameters::set(const std::string& name, const std::string& value) {
    std::string key = ascii_upper(name);
    if (key != "UPLOAD")
        for (auto& pair : pairs)
            if (pair.first == key) {
                pair.second = value;
                return;
            }
    pairs.emplace_back(key, value);
}

bool add_form_pairs(const std::string& query, tap_parameters& parameters) {
    for (const std::string& pair : query_pairs(query)) {
        std::size_t equals = pair.find('=');
        std::string name, value;
        if (!percent_decode(pair.substr(0, equals), name))
            return false;
        if (equals != std::string::npos && !percent_decode(pair.substr(equals + 1), value))
            return false;
        parameters.set(name, value);
    }
    return true;
}

bool read_tap_request(const tap_parameters& parameters, const tap_settings& settings,
                      tap_query_request& request, std::string& why) {
    request = tap_query_request();
    const std::string* value = parameters.find("REQUEST");
    if (value && ascii_lower(*value) != "doquery") {
        why = refusals::request + *value;
        return false;
    }
    value = parameters.find("LANG");
    if (!value) {
        why = refusals::no_lang;
        return false;
    }
    std::string lang = ascii_upper(trimmed(*value));
    if (lang != "ADQL" && lang != "ADQL-2.0" && lang != "ADQL-2.1") {
        why = refusals::lang + *value;
        return false;
    }
    value = parameters.find("QUERY");
    if (!value || trimmed(*value).empty()) {
        why = refusals::no_query;
        return false;
    }
    request.query = *value;
    value = parameters.find("RESPONSEFORMAT");
    if (!value)
        value = parameters.find("FORMAT");
    if (value && !format_of(*value, request.format)) {
        why = refusals::format + *value;
        return false;
    }
    request.maxrec = settings.maxrec;
    if ((value = parameters.find("MAXREC"))) {
        char* end = nullptr;
        errno = 0;
        std::string text = trimmed(*value);
        long long asked = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end || errno || asked < 0) {
            why = refusals::maxrec + *value;
            return false;
        }
        request.maxrec = asked;
    }
    if (request.maxrec > settings.maxrec_limit)
        request.maxrec = settings.maxrec_limit;
    for (const auto& pair : parameters.pairs)
        if (pair.first == "UPLOAD" && !read_uploads(pair.second, request.uploads, why))
            return false;
    if ((value = parameters.find("RUNID")))
        request.runid = *value;
    return true;
}

tap_format format_asked(const tap_parameters& parameters) {
    const std::string* value = parameters.find("RESPONSEFORMAT");
    if (!value)
        value = parameters.find("FORMAT");
    tap_format format = tap_votable;
    if (!value || !format_of(*value, format))
        return tap_votable;
    return format;
}

const char* format_media_type(tap_format format) {
    switch (format) {
    case tap_csv:
        return "text/csv;header=present";
    case tap_tsv:
        return "text/tab-separated-values";
    default:
        return "application/x-votable+xml";
    }
}
