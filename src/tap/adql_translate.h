// Turning a parsed ADQL query into SQLite's SQL: the state the translation of the FROM
// clause (adql_scope.cpp), of the values (translate_values.cpp, translate_calls.cpp), of
// the position constraints (spatial_hint.cpp) and of the whole query
// (translate_query.cpp) share.
//
// Every table of the FROM clause is renamed "t1", "t2", ... in the SQL, every name
// emitted is quoted, and only what the tree holds is written: nothing in a query reaches
// SQLite as text of its own but string literals, quoted, and numbers, as the lexer read
// them.
#ifndef GALSIFT_TAP_ADQL_TRANSLATE_H
#define GALSIFT_TAP_ADQL_TRANSLATE_H

#include "tap/adql_ast.h"
#include "web/ascii_case.h"

#include <cstdint>
#include <string>
#include <vector>

enum class value_type { null, integer, real, text, boolean, point, circle, box, polygon };

// How tightly an SQL text binds, as SQLite's grammar ranks its operators: an operand
// binding less tightly than its operator is put in parentheses.
enum sql_level {
    level_or = 1,
    level_and = 2,
    level_not = 3,
    level_compare = 4,
    level_sum = 6,
    level_product = 7,
    level_concat = 8,
    level_sign = 9,
    level_primary = 10,
};

// A translated value or condition.
struct sql_value {
    std::string sql;                // a scalar or a condition
    std::vector<std::string> parts; // a geometry: its numbers (point: ra, dec; circle: ra,
                                    // dec, radius; box: ra, dec, width, height; polygon:
                                    // ra and dec of each vertex)
    value_type type = value_type::null;
    int level = level_primary;
    int entry = -1;            // a plain column: the FROM entry it belongs to,
    int column = -1;           // and its index among the table's columns
    std::uint64_t entries = 0; // a bit for each FROM entry it reads
    bool aggregate = false;    // holds an aggregate
};

// One table of the FROM clause.
struct scope_entry {
    int table = -1;                 // index in tap_schema::tables
    std::optional<adql_name> alias; // its correlation name, if any
    std::string sql_alias;          // "t1", "t2", ... in order of appearance
    int join = -1;                  // the join just above it; -1: an item of the FROM list
    int side = 0;                   // 0 left, 1 right of that join
};

// One JOIN of the FROM clause.
struct scope_join {
    join_kind kind = join_kind::inner;
    int parent = -1; // the join just above; -1: an item of the FROM list
    int side = 0;
    bool under_outer = false; // some join above it is an outer one
};

// A column that a USING (or NATURAL) join makes one: a bare reference to its name reads
// `sql`, the left table's value, the right's for a RIGHT join, either for FULL.
struct merged_column {
    std::string name;                         // the column's ADQL name as published
    std::vector<std::pair<int, int>> members; // (entry, column) of each table's
    std::string sql;
    value_type type = value_type::null;
    std::pair<int, int> read{-1, -1}; // the member `sql` reads; (-1, -1): either (FULL)
};

// Where a value stands, for what it may hold.
enum class clause { select_list, from, where, group_by, having, order_by };

// The max number of FROM entries: the bits of sql_value::entries.
const int max_entries = 64;

struct translator {
    const tap_schema& schema;
    std::vector<scope_entry> entries;
    std::vector<scope_join> joins;
    std::vector<merged_column> merged;
    clause where = clause::select_list;
    bool in_aggregate = false;
    int result = 0;           // adql_translated, or what the error is
    std::uint64_t hinted = 0; // a bit for each FROM entry whose circle went to the index
    adql_error error;

    explicit translator(const tap_schema& s) : schema(s) {}
    bool fail(const adql_token& token, const std::string& what, int code);

    // adql_scope.cpp
    bool from_item(const adql_from& from, int join, int side, bool under_outer, std::string& sql);
    bool resolve_column(const adql_node& node, sql_value& out, bool report);
    bool entry_qualified(const std::vector<adql_name>& qualifier, int& entry, bool report);
    const tap_schema_table& table_of(int entry) const;
    const tap_schema_column& published_column(int entry, int column) const;
    std::string column_sql(int entry, int column) const;
    value_type column_type(int entry, int column) const;
    bool inner_path(int entry, int join, int& side) const;

    // translate_values.cpp, translate_calls.cpp
    bool value(const adql_node& node, sql_value& out);
    bool call(const adql_node& node, sql_value& out);
    bool condition_chain(const adql_node& node, int join, std::string& sql);

    // spatial_hint.cpp
    bool spatial_hint(const adql_node& conjunct, int join, std::string& hint);
};

bool is_number(value_type type);
bool is_geometry(value_type type);
std::string quoted_name(const std::string& name);
std::string quoted_string(const std::string& text);
std::string real_literal(double value);
std::string operand(const sql_value& value, int level);
bool constant_number(const adql_node& node, double& value);

#endif
