// The tables of a query's FROM clause: finding each among the published ones, naming it
// in the SQL, writing the joins, and finding the table and column a name designates.
#include "tap/adql_translate.h"

#include <cassert>
#include <utility>

namespace {

// The messages about names, each defined once.
const char unknown_table[] = "no table of this name";
const char unknown_column[] = "no column of this name";
const char ambiguous_table[] = "more than one table has this name: give its schema too";
const char ambiguous_column[] = "more than one table of the query has a column of this "
                                "name: qualify it with its table";
const char ambiguous_qualifier[] = "more than one table of the query goes by this name: "
                                   "give each an alias";
const char twice[] = "this table is already in the FROM clause under this name: give it an "
                     "alias";
const char too_many_tables[] = "a query joins at most 64 tables";
const char using_missing[] = "no column of this name on both sides of the join";

// Whether `name`, as written in the query, designates `published`: exactly when it was
// delimited, whatever the case when it was regular (it is kept in lower case).
bool name_matches(const adql_name& name, const std::string& published) {
    return name.delimited ? name.text == published : name.text == ascii_lower(published);
}

// Whether `parts` ([[catalog.]schema.]table) are the last parts of the published name
// `qualified`; `whole` says whether they are all of it.
bool names_table(const std::vector<adql_name>& parts, const std::string& qualified, bool& whole) {
    std::vector<std::string> published;
    std::size_t begin = 0;
    for (std::size_t dot; (dot = qualified.find('.', begin)) != std::string::npos; begin = dot + 1)
        published.push_back(qualified.substr(begin, dot - begin));
    published.push_back(qualified.substr(begin));
    if (parts.size() > published.size())
        return false;
    std::size_t skip = published.size() - parts.size();
    for (std::size_t n = 0; n < parts.size(); n++)
        if (!name_matches(parts[n], published[skip + n]))
            return false;
    whole = skip == 0;
    return true;
}

// The published table `parts` name: the one whose whole name it is, or else the only one
// whose name ends so. Returns its index, or -1 with the fault recorded in `t`.
int find_table(translator& t, const std::vector<adql_name>& parts) {
    int whole_match = -1, part_match = -1, wholes = 0, ends = 0;
    for (std::size_t n = 0; n < t.schema.tables.size(); n++) {
        bool whole = false;
        if (!names_table(parts, t.schema.tables[n].name, whole))
            continue;
        (whole ? whole_match : part_match) = static_cast<int>(n);
        (whole ? wholes : ends)++;
    }
    if (wholes == 1)
        return whole_match;
    if (wholes == 0 && ends == 1)
        return part_match;
    t.fail(parts.back().token, wholes + ends == 0 ? unknown_table : ambiguous_table,
           adql_unknown_name);
    return -1;
}

// The columns named `name` among entries [first, last): (entry, column) pairs.
std::vector<std::pair<int, int>> columns_named(const translator& t, const adql_name& name,
                                               std::size_t first, std::size_t last) {
    std::vector<std::pair<int, int>> found;
    for (std::size_t e = first; e < last; e++) {
        const tap_schema_table& table = t.table_of(static_cast<int>(e));
        for (std::size_t c = 0; c < table.columns.size(); c++)
            if (name_matches(name, table.columns[c].name))
                found.emplace_back(static_cast<int>(e), static_cast<int>(c));
    }
    return found;
}

// The USING group holding every one of `found`, latest first; -1 when there is none.
int merged_group(const translator& t, const std::vector<std::pair<int, int>>& found) {
    for (std::size_t g = t.merged.size(); g-- > 0;) {
        bool all = true;
        for (const auto& member : found) {
            bool in = false;
            for (const auto& m : t.merged[g].members)
                in = in || m == member;
            all = all && in;
        }
        if (all)
            return static_cast<int>(g);
    }
    return -1;
}

// The one column named `name` among entries [first, last), or the USING group that makes
// the several one: its SQL, type and members. False when there is none or no single one.
bool one_column(const translator& t, const adql_name& name, std::size_t first, std::size_t last,
                merged_column& out) {
    std::vector<std::pair<int, int>> found = columns_named(t, name, first, last);
    if (found.size() == 1) {
        out.members = found;
        out.read = found[0];
        out.sql = t.column_sql(found[0].first, found[0].second);
        out.type = t.column_type(found[0].first, found[0].second);
        out.name = t.published_column(found[0].first, found[0].second).name;
        return true;
    }
    int group = found.empty() ? -1 : merged_group(t, found);
    if (group < 0)
        return false;
    out = t.merged[static_cast<std::size_t>(group)];
    return true;
}

// The SQL that joins two tables so.
const char* join_keyword(join_kind kind) {
    switch (kind) {
    case join_kind::left:
        return " LEFT JOIN ";
    case join_kind::right:
        return " RIGHT JOIN ";
    case join_kind::full:
        return " FULL JOIN ";
    default:
        return " JOIN ";
    }
}

} // namespace

// Records the first fault found: `what` is wrong at `token`, of kind `code` (one of the
// results of translate_adql). Returns false, for the caller to return in turn.
bool translator::fail(const adql_token& token, const std::string& what, int code) {
    if (result == adql_translated) {
        set_error(error, token, what);
        result = code;
    }
    return false;
}

// The published table of FROM entry `entry`.
const tap_schema_table& translator::table_of(int entry) const {
    return schema.tables[static_cast<std::size_t>(entries[static_cast<std::size_t>(entry)].table)];
}

// Column `column` of the published table of FROM entry `entry`.
const tap_schema_column& translator::published_column(int entry, int column) const {
    return table_of(entry).columns[static_cast<std::size_t>(column)];
}

// "t1"."ra": the SQL of a table's column.
std::string translator::column_sql(int entry, int column) const {
    return quoted_name(entries[static_cast<std::size_t>(entry)].sql_alias) + "." +
           quoted_name(published_column(entry, column).sql_name);
}

// The type of a table's column, from its VOTable datatype.
value_type translator::column_type(int entry, int column) const {
    const std::string& datatype = published_column(entry, column).datatype;
    if (datatype == "char" || datatype == "unicodeChar")
        return value_type::text;
    if (datatype == "double" || datatype == "float")
        return value_type::real;
    return value_type::integer;
}

// Whether `entry` lies under `join` (-1: the FROM list) through inner joins only; `side`
// gets the side of `join` it lies on.
bool translator::inner_path(int entry, int join, int& side) const {
    const scope_entry& e = entries[static_cast<std::size_t>(entry)];
    int at = e.join;
    side = e.side;
    while (at != join) {
        if (at < 0)
            return false;
        const scope_join& j = joins[static_cast<std::size_t>(at)];
        if (j.kind != join_kind::inner && j.kind != join_kind::cross)
            return false;
        side = j.side;
        at = j.parent;
    }
    return true;
}

// Writes one item of the FROM clause, `join`'s side `side` (-1: an item of the list), into
// `sql`, adding its tables to `entries`.
bool translator::from_item(const adql_from& from, int join, int side, bool under_outer,
                           std::string& sql) {
    if (!from.join) {
        int table = find_table(*this, from.table);
        if (table < 0)
            return false;
        if (entries.size() == max_entries)
            return fail(from.token, too_many_tables, adql_unsupported);
        for (const scope_entry& other : entries) {
            bool same = from.alias && other.alias
                            ? from.alias->text == other.alias->text
                            : !from.alias && !other.alias && other.table == table;
            if (same)
                return fail(from.alias ? from.alias->token : from.table.back().token, twice,
                            adql_invalid);
        }
        scope_entry entry;
        entry.table = table;
        entry.alias = from.alias;
        entry.sql_alias = "t" + std::to_string(entries.size() + 1);
        entry.join = join;
        entry.side = side;
        entries.push_back(entry);
        const tap_schema_table& published = schema.tables[static_cast<std::size_t>(table)];
        sql = (published.sql_database.empty() ? "" : quoted_name(published.sql_database) + ".") +
              quoted_name(published.sql_name) + " AS " + quoted_name(entry.sql_alias);
        return true;
    }
    int id = static_cast<int>(joins.size());
    joins.push_back({from.kind, join, side, under_outer});
    bool outer = from.kind != join_kind::inner && from.kind != join_kind::cross;
    std::size_t first = entries.size();
    std::string left, right;
    if (!from_item(from.sides[0], id, 0, under_outer || outer, left))
        return false;
    std::size_t middle = entries.size();
    if (!from_item(from.sides[1], id, 1, under_outer || outer, right))
        return false;
    sql = left + join_keyword(from.kind) + (from.sides[1].join ? "(" + right + ")" : right);

    std::vector<adql_name> shared = from.using_columns;
    if (from.natural) { // the names both sides have, as the left side lists them
        for (std::size_t e = first; e < middle; e++)
            for (const tap_schema_column& column : table_of(static_cast<int>(e)).columns) {
                adql_name name;
                name.text = column.name;
                name.delimited = true;
                name.token = from.token;
                if (!columns_named(*this, name, middle, entries.size()).empty())
                    shared.push_back(name);
            }
    }
    std::string on;
    for (const adql_name& name : shared) {
        merged_column l, r;
        if (!one_column(*this, name, first, middle, l) ||
            !one_column(*this, name, middle, entries.size(), r))
            return fail(name.token, using_missing, adql_unknown_name);
        merged_column both;
        both.name = l.name;
        both.members = l.members;
        both.members.insert(both.members.end(), r.members.begin(), r.members.end());
        both.sql = from.kind == join_kind::right  ? r.sql
                   : from.kind == join_kind::full ? "coalesce(" + l.sql + ", " + r.sql + ")"
                                                  : l.sql;
        both.type = l.type;
        both.read = from.kind == join_kind::right  ? r.read
                    : from.kind == join_kind::full ? std::make_pair(-1, -1)
                                                   : l.read;
        merged.push_back(both);
        on += (on.empty() ? "" : " AND ") + l.sql + " = " + r.sql;
    }
    if (from.condition) {
        where = clause::from;
        if (!condition_chain(*from.condition, id, on))
            return false;
    }
    if (!on.empty())
        sql += " ON " + on;
    return true;
}

// The FROM entry `qualifier` ([[catalog.]schema.]table or alias) names. Returns false
// when none or several do, with the fault recorded when `report`.
bool translator::entry_qualified(const std::vector<adql_name>& qualifier, int& entry, bool report) {
    int found = 0;
    for (std::size_t e = 0; e < entries.size(); e++) {
        const scope_entry& candidate = entries[e];
        bool whole = false;
        bool named =
            candidate.alias
                ? qualifier.size() == 1 && qualifier[0].text == candidate.alias->text
                : names_table(qualifier,
                              schema.tables[static_cast<std::size_t>(candidate.table)].name, whole);
        if (named) {
            entry = static_cast<int>(e);
            found++;
        }
    }
    if (found == 1)
        return true;
    if (report)
        fail(qualifier.back().token, found ? ambiguous_qualifier : unknown_table,
             adql_unknown_name);
    return false;
}

// Finds the column a column reference designates, among the FROM entries known so far:
// `out` gets its SQL, type, entry and column. Returns false when there is none or no
// single one, with the fault recorded when `report`.
bool translator::resolve_column(const adql_node& node, sql_value& out, bool report) {
    assert(node.kind == node_kind::column && !node.names.empty());
    const adql_name& name = node.names.back();
    out = sql_value();
    if (node.names.size() == 1) {
        merged_column found;
        if (!one_column(*this, name, 0, entries.size(), found)) {
            if (report)
                fail(name.token,
                     columns_named(*this, name, 0, entries.size()).empty() ? unknown_column
                                                                           : ambiguous_column,
                     adql_unknown_name);
            return false;
        }
        out.sql = found.sql;
        out.type = found.type;
        for (const auto& member : found.members)
            out.entries |= std::uint64_t(1) << member.first;
        out.entry = found.read.first;
        out.column = found.read.second;
        return true;
    }
    std::vector<adql_name> qualifier(node.names.begin(), node.names.end() - 1);
    int entry = -1;
    if (!entry_qualified(qualifier, entry, report))
        return false;
    std::vector<std::pair<int, int>> found = columns_named(
        *this, name, static_cast<std::size_t>(entry), static_cast<std::size_t>(entry) + 1);
    if (found.empty()) {
        if (report)
            fail(name.token, unknown_column, adql_unknown_name);
        return false;
    }
    out.entry = entry;
    out.column = found[0].second;
    out.sql = column_sql(entry, out.column);
    out.type = column_type(entry, out.column);
    out.entries = std::uint64_t(1) << entry;
    return true;
}
