// Translating a whole ADQL query into one SQLite SELECT statement, and describing the
// columns of its rows.
#include "tap/adql_parser.h"
#include "tap/adql_translate.h"

#include <cassert>
#include <cstdlib>

namespace {

// The messages about the query's clauses, each defined once.
const char no_such_position[] = "there is no selected column at this position";
const char geometry_sort[] = "a geometry cannot be sorted or grouped";
const char aggregate_grouped[] = "an aggregate function cannot be grouped";
const char having_alone[] = "HAVING needs GROUP BY or an aggregate function in the select list";
const char order_ungrouped[] =
    "sorting by an aggregate function needs GROUP BY or one in the select list";

// What the translation of the select list keeps for the later clauses.
struct selected {
    std::vector<std::string> sql;   // one per output column
    std::vector<std::size_t> first; // of each select item, its first output column
    std::vector<sql_value> values;  // of each select item (unless a star)
};

// Describes an output column of type `type` (datatype, arraysize, xtype).
void describe(result_column& column, value_type type, std::size_t parts) {
    switch (type) {
    case value_type::integer:
        column.datatype = "long";
        break;
    case value_type::real:
        column.datatype = "double";
        break;
    case value_type::point:
    case value_type::circle:
        column.datatype = "double";
        column.arraysize = type == value_type::point ? "2" : "3";
        column.xtype = type == value_type::point ? "point" : "circle";
        break;
    case value_type::box:
    case value_type::polygon:
        column.datatype = "double";
        column.arraysize = std::to_string(type == value_type::box ? 8 : parts);
        column.xtype = "polygon";
        break;
    default:
        column.datatype = "char";
        column.arraysize = "*";
    }
}

// Describes the output column of a published table's column.
result_column column_of(const translator& t, int entry, int column) {
    result_column out;
    out.table = t.entries[static_cast<std::size_t>(entry)].table;
    out.column = column;
    const tap_schema_column& published = t.published_column(entry, column);
    out.name = published.name;
    out.datatype = published.datatype;
    out.arraysize = published.arraysize;
    return out;
}

// The latest USING group holding column `column` of entry `entry`; -1 when none does.
int group_of(const translator& t, int entry, int column) {
    for (std::size_t g = t.merged.size(); g-- > 0;)
        for (const auto& member : t.merged[g].members)
            if (member == std::make_pair(entry, column))
                return static_cast<int>(g);
    return -1;
}

// "*" (every table's columns, a USING pair once) or "q.*" (that table's).
bool star(translator& t, const adql_select_item& item, selected& out,
          std::vector<result_column>& columns) {
    int only = -1;
    if (!item.qualifier.empty() && !t.entry_qualified(item.qualifier, only, true))
        return false;
    for (int e = 0; e < static_cast<int>(t.entries.size()); e++) {
        if (only >= 0 && e != only)
            continue;
        const tap_schema_table& table = t.table_of(e);
        for (int c = 0; c < static_cast<int>(table.columns.size()); c++) {
            int group = only >= 0 ? -1 : group_of(t, e, c);
            const merged_column* m =
                group >= 0 ? &t.merged[static_cast<std::size_t>(group)] : nullptr;
            if (m && m->members[0] != std::make_pair(e, c))
                continue;
            out.sql.push_back(m ? m->sql : t.column_sql(e, c));
            columns.push_back(column_of(t, e, c));
        }
    }
    return true;
}

// A selected expression: its SQL (a geometry as its DALI text) and its description.
bool expression(translator& t, const adql_select_item& item, selected& out,
                std::vector<result_column>& columns) {
    sql_value& v = out.values.back();
    if (!t.value(item.value, v))
        return false;
    result_column column;
    if (item.value.kind == node_kind::column && v.entry >= 0) {
        column = column_of(t, v.entry, v.column);
    } else {
        describe(column, v.type, v.parts.size());
        if (item.value.kind == node_kind::column) // both columns of a FULL JOIN's USING
            column.name = item.value.names.back().token.value;
    }
    if (item.alias)
        column.name = item.alias->token.value;
    else if (item.value.kind == node_kind::call)
        column.name = ascii_lower(item.value.text);
    else if (column.name.empty())
        column.name = "expr";
    std::string sql = v.sql;
    if (is_geometry(v.type)) {
        sql = "adql_" +
              ascii_lower(item.value.kind == node_kind::call ? item.value.text : "point") + "(";
        for (std::size_t n = 0; n < v.parts.size(); n++)
            sql += (n ? ", " : "") + v.parts[n];
        sql += ")";
    }
    out.sql.push_back(sql);
    columns.push_back(column);
    return true;
}

bool select_list(translator& t, const adql_query& query, selected& out,
                 std::vector<result_column>& columns) {
    t.where = clause::select_list;
    for (const adql_select_item& item : query.select) {
        out.first.push_back(out.sql.size());
        out.values.emplace_back();
        if (!(item.star ? star(t, item, out, columns) : expression(t, item, out, columns)))
            return false;
    }
    return true;
}

// The select item an unqualified name is the alias of; -1 when none.
int alias_item(const adql_query& query, const adql_node& node) {
    if (node.kind != node_kind::column || node.names.size() != 1)
        return -1;
    for (std::size_t n = 0; n < query.select.size(); n++)
        if (query.select[n].alias && query.select[n].alias->text == node.names[0].text)
            return static_cast<int>(n);
    return -1;
}

// Whether `node` is an integer written as such, or negated: SQL reads one standing alone
// in GROUP BY as a position in the select list, not as a value.
bool integer_literal(const adql_node& node) {
    if (node.kind == node_kind::negate)
        return integer_literal(node.children[0]);
    return node.kind == node_kind::number && !node.real;
}

// The select item output column `column` belongs to.
std::size_t item_of_column(const selected& chosen, std::size_t column) {
    std::size_t item = 0;
    while (item + 1 < chosen.first.size() && chosen.first[item + 1] <= column)
        item++;
    return item;
}

// Whether the select list holds an aggregate, which makes the whole table one group.
bool aggregate_query(const adql_query& query, const selected& chosen) {
    for (std::size_t n = 0; n < query.select.size(); n++)
        if (!query.select[n].star && chosen.values[n].aggregate)
            return true;
    return false;
}

// The GROUP BY terms into `sql`: a position in the select list (as SQL reads an integer
// there), a column, an alias of the select list (not of an aggregate), or an expression.
// A position or an alias of a constant is written as the position. Returns false with
// the fault recorded.
bool group_by(translator& t, const adql_query& query, const selected& chosen, std::string& sql) {
    t.where = clause::group_by;
    for (const adql_node& node : query.group_by) {
        sql_value v;
        std::string term;
        int item = alias_item(query, node);
        bool column = node.kind == node_kind::column && t.resolve_column(node, v, false);
        if (integer_literal(node)) {
            std::size_t position = std::strtoull(node.text.c_str(), nullptr, 10);
            if (node.kind != node_kind::number || position < 1 || position > chosen.sql.size())
                return t.fail(node.token, no_such_position, adql_invalid);
            std::size_t at = item_of_column(chosen, position - 1);
            if (!query.select[at].star)
                v = chosen.values[at];
            if (v.aggregate)
                return t.fail(node.token, aggregate_grouped, adql_invalid);
            term = std::to_string(position);
        } else if (!column && item >= 0 &&
                   !chosen.values[static_cast<std::size_t>(item)].aggregate) {
            v = chosen.values[static_cast<std::size_t>(item)];
            term = integer_literal(query.select[static_cast<std::size_t>(item)].value)
                       ? std::to_string(chosen.first[static_cast<std::size_t>(item)] + 1)
                       : v.sql;
        } else if (!column && !t.value(node, v)) {
            return false;
        }
        if (is_geometry(v.type))
            return t.fail(node.token, geometry_sort, adql_invalid);
        sql += (sql.empty() ? "" : ", ") + (term.empty() ? v.sql : term);
    }
    return true;
}

// The ORDER BY terms into `sql`: a position in the select list, an alias of it (as its
// position), or an expression. Returns false with the fault recorded.
bool order_by(translator& t, const adql_query& query, const selected& chosen, std::string& sql) {
    t.where = clause::order_by;
    for (const adql_order_item& item : query.order_by) {
        const adql_node& node = item.value;
        std::string term;
        int aliased = alias_item(query, node);
        if (integer_literal(node)) {
            std::size_t position = std::strtoull(node.text.c_str(), nullptr, 10);
            if (node.kind != node_kind::number || position < 1 || position > chosen.sql.size())
                return t.fail(node.token, no_such_position, adql_invalid);
            term = std::to_string(position);
        } else if (aliased >= 0) {
            term = std::to_string(chosen.first[static_cast<std::size_t>(aliased)] + 1);
        } else {
            sql_value v;
            if (!t.value(node, v))
                return false;
            if (is_geometry(v.type))
                return t.fail(node.token, geometry_sort, adql_invalid);
            if (v.aggregate && query.group_by.empty() && !aggregate_query(query, chosen))
                return t.fail(node.token, order_ungrouped, adql_invalid);
            term = v.sql;
        }
        sql += (sql.empty() ? "" : ", ") + term + (item.descending ? " DESC" : "");
    }
    return true;
}

// The whole statement into out.sql, its columns into out.columns and TOP into out.top.
// Returns false with the fault recorded in `t`.
bool translate_query(translator& t, const adql_query& query, adql_translation& out) {
    std::string from, where, groups, having, order;
    for (std::size_t n = 0; n < query.from.size(); n++) {
        std::string item;
        if (!t.from_item(query.from[n], -1, 0, false, item))
            return false;
        from += (n ? ", " : "") + (n && query.from[n].join ? "(" + item + ")" : item);
    }
    selected chosen;
    if (!select_list(t, query, chosen, out.columns))
        return false;
    t.where = clause::where;
    if (query.where && !t.condition_chain(*query.where, -1, where))
        return false;
    if (!group_by(t, query, chosen, groups))
        return false;
    t.where = clause::having;
    sql_value condition;
    if (query.having && !t.value(*query.having, condition))
        return false;
    if (query.having && query.group_by.empty() && !aggregate_query(query, chosen))
        return t.fail(query.having->token, having_alone, adql_invalid);
    having = condition.sql;
    if (!order_by(t, query, chosen, order))
        return false;

    std::string& sql = out.sql;
    sql = query.distinct ? "SELECT DISTINCT " : "SELECT ";
    for (std::size_t n = 0; n < chosen.sql.size(); n++)
        sql += (n ? ", " : "") + chosen.sql[n];
    sql += " FROM " + from;
    if (!where.empty())
        sql += " WHERE " + where;
    if (!groups.empty())
        sql += " GROUP BY " + groups;
    if (query.having)
        sql += " HAVING " + having;
    if (!order.empty())
        sql += " ORDER BY " + order;
    if (query.top >= 0)
        sql += " LIMIT " + std::to_string(query.top);
    if (query.offset >= 0)
        sql += (query.top < 0 ? " LIMIT -1 OFFSET " : " OFFSET ") + std::to_string(query.offset);
    out.top = query.top;
    return true;
}

} // namespace

// Reads `adql` and translates it against `schema` (see adql.h). Returns adql_translated
// with out.sql, out.columns and out.top set, or another result with out.error set.
int translate_adql(const std::string& adql, const tap_schema& schema, adql_translation& out) {
    out = adql_translation();
    adql_parser parser;
    adql_query query;
    if (!parse_adql(adql, query, parser)) {
        assert(parser.result != adql_translated);
        out.error = parser.error;
        return parser.result;
    }
    translator t(schema);
    if (!translate_query(t, query, out)) {
        assert(t.result != adql_translated);
        std::swap(out.error, t.error);
        out.sql.clear();
        out.columns.clear();
        out.top = -1;
        return t.result;
    }
    return adql_translated;
}
