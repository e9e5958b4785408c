// Translating ADQL's function calls: aggregates, the mathematical and string functions,
// COALESCE and the geometry.
//
// A geometry never reaches SQL as a value of its own: POINT, CIRCLE, BOX and POLYGON are
// kept as the list of their numbers, and the function that uses one (CONTAINS, DISTANCE,
// COORD1, a selected geometry's text) receives those numbers as its arguments.
#include "tap/adql_translate.h"

#include <cassert>

namespace {

// The messages about calls, each defined once.
const char aggregate_here[] = "an aggregate function is not allowed here";
const char aggregate_nested[] = "an aggregate function cannot hold another";
const char not_number[] = "a number is needed here";
const char not_text[] = "a string is needed here";
const char not_point[] = "a POINT is needed here";
const char not_region[] = "a CIRCLE, BOX or POLYGON is needed here";
const char geometry_here[] = "a geometry stands where a number or a string belongs";
const char mixed_types[] = "COALESCE mixes strings and numbers";
const char centre_form[] = "the centre is a POINT or two coordinates";
const char polygon_form[] = "POLYGON takes three points or more, or the coordinates of three "
                            "vertices or more";
const char point_in_region[] = "only whether a point lies in a region can be asked";

std::string argument_list(const std::vector<std::string>& arguments) {
    std::string sql;
    for (const std::string& argument : arguments)
        sql += (sql.empty() ? "" : ", ") + argument;
    return sql;
}

bool named(const adql_node& node, const char* name) {
    return node.text == name;
}

// Checks each value of `v` for a number (or NULL), reporting at its node.
bool all_numbers(translator& t, const adql_node& node, const std::vector<sql_value>& v,
                 std::size_t first = 0) {
    for (std::size_t n = first; n < v.size(); n++)
        if (!is_number(v[n].type) && v[n].type != value_type::null)
            return t.fail(node.children[n].token,
                          is_geometry(v[n].type) ? geometry_here : not_number, adql_invalid);
    return true;
}

// COUNT, AVG, MAX, MIN and SUM: only in the select list, HAVING and ORDER BY, and never
// one inside another. Returns false with the fault recorded.
bool aggregate(translator& t, const adql_node& node, sql_value& out) {
    if (t.where == clause::where || t.where == clause::from || t.where == clause::group_by)
        return t.fail(node.token, aggregate_here, adql_invalid);
    if (t.in_aggregate)
        return t.fail(node.token, aggregate_nested, adql_invalid);
    out.aggregate = true;
    std::string name = ascii_lower(node.text);
    if (node.star) {
        out.sql = "count(*)";
        out.type = value_type::integer;
        return true;
    }
    sql_value v;
    t.in_aggregate = true;
    bool read = t.value(node.children[0], v);
    t.in_aggregate = false;
    if (!read)
        return false;
    if (is_geometry(v.type))
        return t.fail(node.children[0].token, geometry_here, adql_invalid);
    if ((named(node, "AVG") || named(node, "SUM")) && v.type == value_type::text)
        return t.fail(node.children[0].token, not_number, adql_invalid);
    out.entries = v.entries;
    out.sql = name + "(" + (node.distinct ? "DISTINCT " : "") + v.sql + ")";
    out.type = named(node, "COUNT") ? value_type::integer
               : named(node, "AVG") ? value_type::real
                                    : v.type;
    return true;
}

// The geometry constructors: `out` gets the list of their numbers.
bool shape(translator& t, const adql_node& node, std::vector<sql_value>& v, sql_value& out) {
    bool point_first = !v.empty() && v[0].type == value_type::point;
    std::size_t numbers_from = point_first ? 1 : 0;
    if (named(node, "POINT")) {
        out.type = value_type::point;
        numbers_from = 0;
    } else if (named(node, "CIRCLE") || named(node, "BOX")) {
        out.type = named(node, "CIRCLE") ? value_type::circle : value_type::box;
        std::size_t sizes = named(node, "CIRCLE") ? 1 : 2;
        if (v.size() != sizes + (point_first ? 1 : 2))
            return t.fail(node.children[0].token, centre_form, adql_invalid);
    } else {
        assert(named(node, "POLYGON"));
        out.type = value_type::polygon;
        bool points = true;
        for (const sql_value& vertex : v)
            points = points && vertex.type == value_type::point;
        if (!points && (point_first || v.size() < 6 || v.size() % 2))
            return t.fail(node.token, polygon_form, adql_invalid);
        numbers_from = points ? v.size() : 0;
    }
    if (!all_numbers(t, node, v, numbers_from))
        return false;
    for (const sql_value& part : v) {
        if (part.type == value_type::point)
            out.parts.insert(out.parts.end(), part.parts.begin(), part.parts.end());
        else
            out.parts.push_back(part.sql);
    }
    return true;
}

// DISTANCE, COORD1, COORD2, CONTAINS and INTERSECTS.
bool geometry_use(translator& t, const adql_node& node, std::vector<sql_value>& v, sql_value& out) {
    auto point = [&](std::size_t n) {
        return v[n].type == value_type::point ||
               t.fail(node.children[n].token, not_point, adql_invalid);
    };
    if (named(node, "COORD1") || named(node, "COORD2")) {
        if (!point(0))
            return false;
        out.sql = v[0].parts[named(node, "COORD1") ? 0 : 1];
        out.level = level_or - 1; // whatever it is, it goes in parentheses in an operation
        out.type = value_type::real;
        return true;
    }
    if (named(node, "DISTANCE")) {
        std::vector<std::string> numbers;
        if (v.size() == 2) {
            if (!point(0) || !point(1))
                return false;
            numbers = v[0].parts;
            numbers.insert(numbers.end(), v[1].parts.begin(), v[1].parts.end());
        } else {
            if (!all_numbers(t, node, v))
                return false;
            for (const sql_value& number : v)
                numbers.push_back(number.sql);
        }
        out.sql = "adql_distance(" + argument_list(numbers) + ")";
        out.parts = numbers; // for DISTANCE(...) <= r, read as a circle
        out.type = value_type::real;
        return true;
    }
    // CONTAINS(point, region), and INTERSECTS with a point on either side.
    std::size_t p = named(node, "INTERSECTS") && v[0].type != value_type::point &&
                            v[1].type == value_type::point
                        ? 1
                        : 0;
    const sql_value& region = v[1 - p];
    if (v[p].type != value_type::point)
        return t.fail(node.children[p].token, is_geometry(v[p].type) ? point_in_region : not_point,
                      is_geometry(v[p].type) ? adql_unsupported : adql_invalid);
    if (region.type == value_type::point)
        return t.fail(node.children[1 - p].token, point_in_region, adql_unsupported);
    if (!is_geometry(region.type))
        return t.fail(node.children[1 - p].token, not_region, adql_invalid);
    const char* function = region.type == value_type::circle ? "adql_in_circle("
                           : region.type == value_type::box  ? "adql_in_box("
                                                             : "adql_in_polygon(";
    std::vector<std::string> numbers = v[p].parts;
    numbers.insert(numbers.end(), region.parts.begin(), region.parts.end());
    out.sql = function + argument_list(numbers) + ")";
    out.type = value_type::integer;
    return true;
}

// The mathematical functions, LOWER, UPPER and COALESCE.
bool scalar(translator& t, const adql_node& node, std::vector<sql_value>& v, sql_value& out) {
    if (named(node, "LOWER") || named(node, "UPPER")) {
        if (v[0].type != value_type::text && v[0].type != value_type::null)
            return t.fail(node.children[0].token, is_geometry(v[0].type) ? geometry_here : not_text,
                          adql_invalid);
        out.sql = ascii_lower(node.text) + "(" + v[0].sql + ")";
        out.type = value_type::text;
        return true;
    }
    if (named(node, "COALESCE")) {
        for (std::size_t n = 0; n < v.size(); n++) {
            if (is_geometry(v[n].type))
                return t.fail(node.children[n].token, geometry_here, adql_invalid);
            if (v[n].type == value_type::null)
                continue;
            if (out.type != value_type::null && is_number(out.type) != is_number(v[n].type))
                return t.fail(node.children[n].token, mixed_types, adql_invalid);
            out.type = out.type == value_type::null || out.type == v[n].type ? v[n].type
                                                                             : value_type::real;
        }
        if (v.size() == 1) {
            out.sql = v[0].sql;
            out.level = v[0].level;
            return true;
        }
        std::vector<std::string> arguments;
        for (const sql_value& argument : v)
            arguments.push_back(argument.sql);
        out.sql = "coalesce(" + argument_list(arguments) + ")";
        return true;
    }
    if (!all_numbers(t, node, v))
        return false;
    if (named(node, "RAND")) // the seed's meaning is left open by ADQL: it is not used
        v.clear();
    std::vector<std::string> arguments;
    for (const sql_value& argument : v)
        arguments.push_back(argument.sql);
    bool abs = named(node, "ABS");
    out.sql =
        (abs ? "abs(" : "adql_" + ascii_lower(node.text) + "(") + argument_list(arguments) + ")";
    out.type = abs ? v[0].type : value_type::real;
    return true;
}

} // namespace

// Translates a call into `out`. Returns false with the fault recorded.
bool translator::call(const adql_node& node, sql_value& out) {
    static const char* const aggregates[] = {"COUNT", "AVG", "MAX", "MIN", "SUM"};
    static const char* const shapes[] = {"POINT", "CIRCLE", "BOX", "POLYGON"};
    static const char* const uses[] = {"DISTANCE", "COORD1", "COORD2", "CONTAINS", "INTERSECTS"};
    for (const char* name : aggregates)
        if (named(node, name))
            return aggregate(*this, node, out);
    std::vector<sql_value> v(node.children.size());
    for (std::size_t n = 0; n < v.size(); n++) {
        if (!value(node.children[n], v[n]))
            return false;
        out.entries |= v[n].entries;
        out.aggregate = out.aggregate || v[n].aggregate;
    }
    for (const char* name : shapes)
        if (named(node, name))
            return shape(*this, node, v, out);
    for (const char* name : uses)
        if (named(node, name))
            return geometry_use(*this, node, v, out);
    return scalar(*this, node, v, out);
}
