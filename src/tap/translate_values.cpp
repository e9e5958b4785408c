// Translating ADQL's values and conditions: literals, columns, arithmetic, ||, CAST and
// the predicates, each checked for the kinds of value it combines.
//
// Numbers keep SQL's arithmetic, which SQLite shares: an integer divided by an integer is
// an integer, rounded toward zero (7/2 is 3, -7/2 is -3). Where SQLite parts from it, it
// is left so and said here: a division by zero gives NULL rather than an error, and an
// integer result beyond 64 bits becomes a real number.
#include "tap/adql_translate.h"

#include <cassert>

namespace {

// The messages about values, each defined once.
const char not_number[] = "a number is needed here";
const char not_text[] = "a string is needed here";
const char geometry_here[] = "a geometry stands where a number or a string belongs";
const char mixed_comparison[] = "compares a string with a number";

// SQLite's type for an ADQL cast's.
const char* cast_type(const std::string& adql_type) {
    if (adql_type == "REAL" || adql_type == "DOUBLE")
        return "REAL";
    if (adql_type == "CHAR" || adql_type == "VARCHAR")
        return "TEXT";
    return "INTEGER";
}

} // namespace

bool is_number(value_type type) {
    return type == value_type::integer || type == value_type::real;
}

bool is_geometry(value_type type) {
    return type == value_type::point || type == value_type::circle || type == value_type::box ||
           type == value_type::polygon;
}

// `value`'s SQL as an operand of an operator of `level`: in parentheses when it binds
// less tightly.
std::string operand(const sql_value& value, int level) {
    return value.level < level ? "(" + value.sql + ")" : value.sql;
}

namespace {

// Checks that `value`, read from `node`, is a number (or NULL).
bool numeric(translator& t, const adql_node& node, const sql_value& value) {
    if (is_number(value.type) || value.type == value_type::null)
        return true;
    return t.fail(node.token, is_geometry(value.type) ? geometry_here : not_number, adql_invalid);
}

// Checks that `value`, read from `node`, is a string (or NULL).
bool textual(translator& t, const adql_node& node, const sql_value& value) {
    if (value.type == value_type::text || value.type == value_type::null)
        return true;
    return t.fail(node.token, is_geometry(value.type) ? geometry_here : not_text, adql_invalid);
}

// Checks that `a` and `b` may be compared (numbers with numbers, strings with strings, NULL
// with either); `node` is the comparison, for the message.
bool comparable(translator& t, const adql_node& node, const sql_value& a, const sql_value& b) {
    if (is_geometry(a.type) || is_geometry(b.type))
        return t.fail(node.token, geometry_here, adql_invalid);
    if (a.type == value_type::null || b.type == value_type::null)
        return true;
    return is_number(a.type) == is_number(b.type) ||
           t.fail(node.token, mixed_comparison, adql_invalid);
}

// Translates every child of `node` into `values`, gathering what they read.
bool children(translator& t, const adql_node& node, std::vector<sql_value>& values,
              sql_value& out) {
    values.resize(node.children.size());
    for (std::size_t n = 0; n < node.children.size(); n++) {
        if (!t.value(node.children[n], values[n]))
            return false;
        out.entries |= values[n].entries;
        out.aggregate = out.aggregate || values[n].aggregate;
    }
    return true;
}

// The type of an arithmetic result: integer when both are, else real.
value_type sum_type(const sql_value& a, const sql_value& b) {
    if (a.type == value_type::null)
        return b.type;
    if (b.type == value_type::null || a.type == b.type)
        return a.type;
    return value_type::real;
}

// + - * / of two numbers: an integer when both are, else real.
bool arithmetic(translator& t, const adql_node& node, sql_value& out) {
    std::vector<sql_value> v;
    if (!children(t, node, v, out) || !numeric(t, node.children[0], v[0]) ||
        !numeric(t, node.children[1], v[1]))
        return false;
    int level = node.text == "+" || node.text == "-" ? level_sum : level_product;
    out.sql = operand(v[0], level) + " " + node.text + " " + operand(v[1], level + 1);
    out.level = level;
    out.type = sum_type(v[0], v[1]);
    return true;
}

// A comparison, BETWEEN or IN, of values that may be compared.
bool comparison(translator& t, const adql_node& node, sql_value& out) {
    std::vector<sql_value> v;
    if (!children(t, node, v, out))
        return false;
    for (std::size_t n = 1; n < v.size(); n++)
        if (!comparable(t, node, v[0], v[n]))
            return false;
    const int level = level_compare + 1;
    out.type = value_type::boolean;
    out.level = level_compare;
    std::string not_word = node.negated ? " NOT" : "";
    // DISTANCE(p, q) <= r is CONTAINS(p, CIRCLE(q, r)) = 1, the rim included, as ADQL
    // wants either form to select the same rows.
    std::size_t d = node.text == "<=" ? 0 : 1;
    const adql_node& bounded = node.children[d];
    if (node.kind == node_kind::compare && (node.text == "<=" || node.text == ">=") &&
        bounded.kind == node_kind::call && bounded.text == "DISTANCE") {
        out.sql = "adql_in_circle(";
        for (const std::string& part : v[d].parts)
            out.sql += part + ", ";
        out.sql += v[1 - d].sql + ") = 1";
        return true;
    }
    switch (node.kind) {
    case node_kind::compare:
        out.sql = operand(v[0], level) + " " + node.text + " " + operand(v[1], level);
        break;
    case node_kind::between:
        out.sql = operand(v[0], level) + not_word + " BETWEEN " + operand(v[1], level) + " AND " +
                  operand(v[2], level);
        break;
    default:
        assert(node.kind == node_kind::in_list);
        out.sql = operand(v[0], level) + not_word + " IN (";
        for (std::size_t n = 1; n < v.size(); n++)
            out.sql += (n > 1 ? ", " : "") + v[n].sql;
        out.sql += ")";
    }
    return true;
}

// LIKE and ILIKE through adql_like and adql_ilike (value, pattern): SQLite's own LIKE
// ignores the case of ASCII letters, and ADQL's LIKE does not.
bool like(translator& t, const adql_node& node, sql_value& out) {
    std::vector<sql_value> v;
    if (!children(t, node, v, out) || !textual(t, node.children[0], v[0]) ||
        !textual(t, node.children[1], v[1]))
        return false;
    out.type = value_type::boolean;
    out.sql = std::string(node.text == "LIKE" ? "adql_like(" : "adql_ilike(") + v[0].sql + ", " +
              v[1].sql + ")";
    if (node.negated) {
        out.sql = "NOT " + out.sql;
        out.level = level_not;
    }
    return true;
}

// AND, OR, NOT and IS [NOT] NULL.
bool logic(translator& t, const adql_node& node, sql_value& out) {
    std::vector<sql_value> v;
    if (!children(t, node, v, out))
        return false;
    out.type = value_type::boolean;
    if (node.kind == node_kind::is_null) {
        if (is_geometry(v[0].type))
            return t.fail(node.children[0].token, geometry_here, adql_invalid);
        out.sql = operand(v[0], level_compare + 1) + (node.negated ? " IS NOT NULL" : " IS NULL");
        out.level = level_compare;
    } else if (node.kind == node_kind::negation) {
        out.sql = "NOT " + operand(v[0], level_not);
        out.level = level_not;
    } else {
        bool all = node.kind == node_kind::all_of;
        out.level = all ? level_and : level_or;
        for (std::size_t n = 0; n < v.size(); n++)
            out.sql += (n ? (all ? " AND " : " OR ") : "") + operand(v[n], out.level);
    }
    return true;
}

// CAST to INTEGER (SMALLINT and BIGINT alike), REAL (DOUBLE PRECISION alike) or TEXT,
// a CHAR(n) or VARCHAR(n) cut to n characters.
bool cast(translator& t, const adql_node& node, sql_value& out) {
    std::vector<sql_value> v;
    if (!children(t, node, v, out))
        return false;
    if (is_geometry(v[0].type))
        return t.fail(node.children[0].token, geometry_here, adql_invalid);
    const char* type = cast_type(node.text);
    out.sql = "CAST(" + v[0].sql + " AS " + type + ")";
    out.type = type[0] == 'T'   ? value_type::text
               : type[0] == 'R' ? value_type::real
                                : value_type::integer;
    if (node.length >= 0)
        out.sql = "substr(" + out.sql + ", 1, " + std::to_string(node.length) + ")";
    return true;
}

} // namespace

// Translates `node`, a value or a condition, into `out`. Returns false with the fault
// recorded (an unknown name, a value of the wrong kind, an unsupported form).
bool translator::value(const adql_node& node, sql_value& out) {
    out = sql_value();
    std::vector<sql_value> v;
    switch (node.kind) {
    case node_kind::number:
        out.sql = node.text;
        out.type = node.real ? value_type::real : value_type::integer;
        return true;
    case node_kind::string:
        out.sql = quoted_string(node.text);
        out.type = value_type::text;
        return true;
    case node_kind::null_value:
        out.sql = "NULL";
        return true;
    case node_kind::column:
        return resolve_column(node, out, true);
    case node_kind::negate:
        if (!children(*this, node, v, out) || !numeric(*this, node.children[0], v[0]))
            return false;
        // Never "--", which SQL reads as a comment.
        out.sql = "-" + (v[0].sql[0] == '-' ? "(" + v[0].sql + ")" : operand(v[0], level_sign));
        out.type = v[0].type;
        out.level = level_sign;
        return true;
    case node_kind::arithmetic:
        return arithmetic(*this, node, out);
    case node_kind::concat:
        if (!children(*this, node, v, out))
            return false;
        for (std::size_t n = 0; n < 2; n++)
            if (is_geometry(v[n].type))
                return fail(node.children[n].token, geometry_here, adql_invalid);
        out.sql = operand(v[0], level_concat) + " || " + operand(v[1], level_concat + 1);
        out.type = value_type::text;
        out.level = level_concat;
        return true;
    case node_kind::call:
        return call(node, out);
    case node_kind::cast:
        return cast(*this, node, out);
    case node_kind::compare:
    case node_kind::between:
    case node_kind::in_list:
        return comparison(*this, node, out);
    case node_kind::like:
        return like(*this, node, out);
    default:
        return logic(*this, node, out);
    }
}

// Translates the condition `node` of WHERE (`join` -1) or of a join's ON (`join` its
// index) into `sql`, after what `sql` holds, joined by AND: each term of its top AND
// chain with the spatial index's constraint when it is a position constraint.
bool translator::condition_chain(const adql_node& node, int join, std::string& sql) {
    std::vector<const adql_node*> terms;
    if (node.kind == node_kind::all_of)
        for (const adql_node& child : node.children)
            terms.push_back(&child);
    else
        terms.push_back(&node);
    for (const adql_node* term : terms) {
        sql_value v;
        std::string hint;
        if (!value(*term, v) || !spatial_hint(*term, join, hint))
            return false;
        sql += (sql.empty() ? "" : " AND ") + operand(v, level_and);
        if (!hint.empty())
            sql += " AND " + hint;
    }
    return true;
}
