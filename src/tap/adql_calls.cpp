// Reading ADQL's function calls: the mathematical and string functions, the aggregates,
// COALESCE, CAST and the geometry, each with the number of arguments it takes.
#include "tap/adql_parser.h"
#include "tap/adql_words.h"

#include <string>
#include <utility>

namespace {

enum call_form {
    plain,     // arguments are values
    aggregate, // [DISTINCT | ALL] value, or * for COUNT
    shape,     // ['coordinate system',] values
    rounding,  // value [, signed integer literal]
    seeded,    // [unsigned integer literal]
};

struct function_form {
    const char* name;
    int least, most; // arguments; most -1: no limit
    call_form form;
};

// The functions a query may call.
const function_form functions[] = {
    {"ABS", 1, 1, plain},        {"CEILING", 1, 1, plain},   {"DEGREES", 1, 1, plain},
    {"EXP", 1, 1, plain},        {"FLOOR", 1, 1, plain},     {"LOG", 1, 1, plain},
    {"LOG10", 1, 1, plain},      {"MOD", 2, 2, plain},       {"PI", 0, 0, plain},
    {"POWER", 2, 2, plain},      {"RADIANS", 1, 1, plain},   {"RAND", 0, 1, seeded},
    {"ROUND", 1, 2, rounding},   {"SQRT", 1, 1, plain},      {"TRUNCATE", 1, 2, rounding},
    {"ACOS", 1, 1, plain},       {"ASIN", 1, 1, plain},      {"ATAN", 1, 1, plain},
    {"ATAN2", 2, 2, plain},      {"COS", 1, 1, plain},       {"COT", 1, 1, plain},
    {"SIN", 1, 1, plain},        {"TAN", 1, 1, plain},       {"LOWER", 1, 1, plain},
    {"UPPER", 1, 1, plain},      {"COALESCE", 1, -1, plain}, {"COUNT", 1, 1, aggregate},
    {"AVG", 1, 1, aggregate},    {"MAX", 1, 1, aggregate},   {"MIN", 1, 1, aggregate},
    {"SUM", 1, 1, aggregate},    {"POINT", 2, 2, shape},     {"CIRCLE", 2, 3, shape},
    {"BOX", 3, 4, shape},        {"POLYGON", 3, -1, shape},  {"CONTAINS", 2, 2, plain},
    {"INTERSECTS", 2, 2, plain}, {"DISTANCE", 2, 4, plain},  {"COORD1", 1, 1, plain},
    {"COORD2", 1, 1, plain},
};

// Functions of ADQL or SQL that this service does not answer.
const char* const unsupported_functions[] = {
    "AREA",         "CENTROID",   "COORDSYS",    "REGION",           "IN_UNIT", "SUBSTRING",
    "POSITION",     "TRIM",       "CHAR_LENGTH", "CHARACTER_LENGTH", "CONVERT", "TRANSLATE",
    "OCTET_LENGTH", "BIT_LENGTH", "NULLIF",      "EXTRACT",          "EXISTS",
};

// The messages of the call reader, each defined once.
const char unknown_function[] = "no function of this name";
const char not_supported[] = "this function is not supported";
const char expected_integer[] = "expected an integer literal";
const char expected_type[] =
    "expected a type (SMALLINT, INTEGER, BIGINT, REAL, DOUBLE PRECISION, CHAR, VARCHAR)";
const char type_not_supported[] = "casts to this type are not supported";
const char three_coordinates[] = "DISTANCE takes two points or four coordinates";

// "takes 1 argument", "takes 1 or 2 arguments", "takes at least 3 arguments".
std::string arguments_message(const function_form& f) {
    std::string text = std::string(f.name) + " takes ";
    if (f.most < 0)
        text += "at least ";
    text += std::to_string(f.least);
    if (f.most > f.least)
        text += f.most == f.least + 1 ? " or " + std::to_string(f.most)
                                      : " to " + std::to_string(f.most);
    return text + (f.least == 1 && f.most == 1 ? " argument" : " arguments");
}

// Whether `node` is an integer literal, with a minus sign when `signed_allowed`.
bool integer_literal(const adql_node& node, bool signed_allowed) {
    if (node.kind == node_kind::negate && signed_allowed)
        return integer_literal(node.children[0], false);
    return node.kind == node_kind::number && !node.real;
}

} // namespace

// Reads a call: its name, then its arguments in parentheses.
bool adql_parser::call(adql_node& out) {
    const adql_token& name_token = peek();
    if (is_word("CAST"))
        return cast(out);
    const function_form* form = nullptr;
    for (const function_form& f : functions)
        if (same_word(name_token.text, f.name))
            form = &f;
    if (!form) {
        for (const char* word : unsupported_functions)
            if (same_word(name_token.text, word))
                return fail(name_token, not_supported, adql_unsupported);
        if (is_reserved(name_token.text))
            return fail_here("expected a value");
        return fail(name_token, unknown_function, adql_unknown_name);
    }
    if (++nesting > max_nesting)
        return fail(name_token, "the expression is nested too deeply", adql_unsupported);
    out.kind = node_kind::call;
    out.token = name_token;
    out.text = form->name;
    at += 2; // the name and "("
    if (form->form == aggregate) {
        if (out.text == std::string("COUNT") && take_symbol("*")) {
            out.star = true;
        } else {
            out.distinct = take_word("DISTINCT");
            if (!out.distinct)
                take_word("ALL");
        }
    }
    if (form->form == shape && peek().kind == token_kind::string && is_symbol(",", 1))
        at += 2; // the coordinate system: accepted and left out
    if (!out.star && !is_symbol(")")) {
        do {
            out.children.emplace_back();
            if (!value(out.children.back()) || !require_value(out.children.back()))
                return false;
        } while (take_symbol(","));
    }
    if (!expect_symbol(")"))
        return false;
    nesting--;
    int count = static_cast<int>(out.children.size()) + (out.star ? 1 : 0);
    if (count < form->least || (form->most >= 0 && count > form->most))
        return fail(name_token, arguments_message(*form), adql_syntax_error);
    if (out.text == std::string("DISTANCE") && count == 3)
        return fail(name_token, three_coordinates, adql_syntax_error);
    if (form->form == seeded && count == 1 && !integer_literal(out.children[0], false))
        return fail(out.children[0].token, expected_integer, adql_syntax_error);
    if (form->form == rounding && count == 2 && !integer_literal(out.children[1], true))
        return fail(out.children[1].token, expected_integer, adql_syntax_error);
    return finish(out);
}

// CAST ( value AS type ): the numeric and character types.
bool adql_parser::cast(adql_node& out) {
    out.kind = node_kind::cast;
    out.token = peek();
    if (++nesting > max_nesting)
        return fail(out.token, "the expression is nested too deeply", adql_unsupported);
    at += 2; // CAST (
    out.children.emplace_back();
    if (!value(out.children[0]) || !require_value(out.children[0]) || !expect_word("AS"))
        return false;
    static const char* const types[] = {"SMALLINT", "INTEGER", "BIGINT", "REAL",
                                        "DOUBLE",   "CHAR",    "VARCHAR"};
    static const char* const unsupported_types[] = {"TIMESTAMP", "POINT", "CIRCLE", "POLYGON"};
    for (const char* type : unsupported_types)
        if (is_word(type))
            return fail(peek(), type_not_supported, adql_unsupported);
    for (const char* type : types)
        if (is_word(type))
            out.text = type;
    if (out.text.empty())
        return fail_here(expected_type);
    at++;
    if (out.text == "DOUBLE" && !expect_word("PRECISION"))
        return false;
    if ((out.text == "CHAR" || out.text == "VARCHAR") && take_symbol("(")) {
        if (!unsigned_integer(out.length, "a length") || !expect_symbol(")"))
            return false;
    }
    if (!expect_symbol(")"))
        return false;
    nesting--;
    return finish(out);
}
