// An ADQL query as read: the tree the parser builds and the translator walks.
//
// Every node keeps the token it is reported at (a column's first name, a function's name,
// an operator), so that a later stage can say where a fault lies. Names keep whether they
// were delimited; a regular name is folded to lower case.
#ifndef GALSIFT_TAP_ADQL_AST_H
#define GALSIFT_TAP_ADQL_AST_H

#include "tap/adql_lexer.h"

#include <optional>
#include <string>
#include <vector>

struct adql_name {
    std::string text;       // regular: in lower case; delimited: exactly as quoted
    bool delimited = false; // written in double quotes
    adql_token token;       // where it was written
};

enum class node_kind {
    // Values.
    number,     // text: the digits as written (a hexadecimal one in decimal); real: 1.5, 1e3
    string,     // text: the value, quotes removed
    null_value, // NULL
    column,     // names: [[catalog.]schema.]table.column, 1 to 4 parts
    negate,     // - children[0]
    arithmetic, // children[0] text children[1], text one of + - * /
    concat,     // children[0] || children[1]
    call,       // text: the function's name in upper case; children: its arguments (a
                // geometry's coordinate system left out); distinct: DISTINCT of an
                // aggregate; star: COUNT(*)
    cast,       // CAST(children[0] AS text), text one of INTEGER SMALLINT BIGINT REAL
                // DOUBLE CHAR VARCHAR; length: n of CHAR(n), else -1
    // Conditions.
    compare,  // children[0] text children[1], text one of = <> < > <= >= (!= read as <>)
    between,  // children[0] [NOT] BETWEEN children[1] AND children[2]
    in_list,  // children[0] [NOT] IN (children[1], ...)
    like,     // children[0] [NOT] LIKE|ILIKE children[1], text "LIKE" or "ILIKE"
    is_null,  // children[0] IS [NOT] NULL
    all_of,   // children[0] AND children[1] AND ...
    any_of,   // children[0] OR children[1] OR ...
    negation, // NOT children[0]
};

struct adql_node {
    node_kind kind = node_kind::null_value;
    std::string text;
    bool negated = false;  // NOT BETWEEN, NOT IN, NOT LIKE, IS NOT NULL
    bool distinct = false; // an aggregate of DISTINCT values
    bool real = false;     // a number with a point or an exponent
    bool star = false;
    long long length = -1;
    int depth = 1; // of the tree below and with it, bounded by the parser
    adql_token token;
    std::vector<adql_name> names;
    std::vector<adql_node> children;
};

bool is_condition(const adql_node& node);

// One entry of the select list: an expression, "*" or "q.*".
struct adql_select_item {
    bool star = false;                // * or q.*
    std::vector<adql_name> qualifier; // q of q.*, empty for *
    adql_node value;                  // unless star
    std::optional<adql_name> alias;   // AS alias
    adql_token token;                 // its first token
};

enum class join_kind { inner, left, right, full, cross };

// A table of the FROM clause, or a join of two.
struct adql_from {
    bool join = false;
    // A table:
    std::vector<adql_name> table;   // [[catalog.]schema.]table
    std::optional<adql_name> alias; // [AS] correlation name
    // A join:
    join_kind kind = join_kind::inner;
    bool natural = false;
    std::vector<adql_from> sides;         // left, right
    std::optional<adql_node> condition;   // ON
    std::vector<adql_name> using_columns; // USING (...)
    adql_token token;                     // its first token (JOIN for a join)
};

struct adql_order_item {
    adql_node value;
    bool descending = false;
};

struct adql_query {
    bool distinct = false;
    long long top = -1; // TOP n; -1 without
    std::vector<adql_select_item> select;
    std::vector<adql_from> from; // the comma-separated list
    std::optional<adql_node> where;
    std::vector<adql_node> group_by;
    std::optional<adql_node> having;
    std::vector<adql_order_item> order_by;
    long long offset = -1; // OFFSET n; -1 without
};

#endif
