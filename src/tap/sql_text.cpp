// Writing names, strings and numbers into SQLite's SQL.
#include "tap/adql_translate.h"

#include <charconv>
#include <cmath>

const char cone_ra_column[] = "cone_ra";
const char cone_dec_column[] = "cone_dec";
const char cone_radius_column[] = "cone_radius";

// `name` as an SQL identifier: in double quotes, each of its own doubled.
std::string quoted_name(const std::string& name) {
    std::string sql = "\"";
    for (char c : name)
        sql += c == '"' ? std::string("\"\"") : std::string(1, c);
    return sql + "\"";
}

// `text` as an SQL string literal: in single quotes, each of its own doubled.
std::string quoted_string(const std::string& text) {
    std::string sql = "'";
    for (char c : text)
        sql += c == '\'' ? std::string("''") : std::string(1, c);
    return sql + "'";
}

// A finite `value` as an SQL real literal that reads back as the same double: the
// shortest such digits, with ".0" added to a whole number so that SQLite reads a real.
std::string real_literal(double value) {
    char digits[32];
    std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    std::string sql(digits, written.ptr);
    if (sql.find_first_of(".e") == std::string::npos)
        sql += ".0";
    return sql;
}
