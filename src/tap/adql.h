// ADQL, the query language of the table access service: a query read, checked against the
// published tables and turned into one SQLite SELECT statement, and what that statement
// needs on its connection (the functions it calls, the authorizer that confines it).
//
// Angles are in degrees everywhere, as ADQL gives them. Names follow ADQL: a regular
// identifier matches a published name whatever its case, a delimited one ("x") only
// when written exactly so.
#ifndef GALSIFT_TAP_ADQL_H
#define GALSIFT_TAP_ADQL_H

#include <string>
#include <vector>

struct sqlite3;

// One column of a published table.
struct tap_schema_column {
    std::string name;      // ADQL name, as TAP_SCHEMA.columns lists it ("ra")
    std::string sql_name;  // its name in SQLite
    std::string datatype;  // VOTable datatype: "double", "float", "long", "int", "short",
                           // "boolean", "char" or "unicodeChar" (the last two are text)
    std::string arraysize; // VOTable arraysize: "" for a number, "*" or a length for text
};

// One published table. A table with a spatial index names its position columns: it is a
// virtual table with the three HIDDEN columns of the index (cone_ra_column and the two
// after it), and a query's position constraints on it are handed to the index.
struct tap_schema_table {
    std::string name;         // ADQL name as TAP_SCHEMA.tables lists it: "galsift.cg2000"
    std::string sql_database; // SQLite database holding it: "" (main) or "temp", ...
    std::string sql_name;     // its name in that database
    std::vector<tap_schema_column> columns; // in TAP_SCHEMA's order: what "*" lists
    int ra_column = -1;  // index in `columns` of the right ascension, degrees; -1: no index
    int dec_column = -1; // index in `columns` of the declination, degrees
};

struct tap_schema {
    std::vector<tap_schema_table> tables; // every table a query may read, and no other
};

// The hidden columns of a spatially indexed table. A translated query constrains them
// with "=" to a circle, in degrees, that holds every entry the query can select:
//   "t1"."cone_ra" = (a) AND "t1"."cone_dec" = (b) AND "t1"."cone_radius" = r
// beside the exact test, which stays. a, b and r may be expressions over the columns of
// the other tables of a join (a cross-match); r is already widened by 1e-9 degrees. The
// constraint is written only where SQLite can hand it to the table, so the virtual table
// keeps this contract (tests/tap/cone_table.cpp is a stand-in that does):
//   xBestIndex  with "=" usable on all three, uses them (argvIndex, omit) at a low cost;
//               offered them but not all usable, refuses the plan (SQLITE_CONSTRAINT), so
//               that SQLite puts the table inside the loop of what the circle reads;
//               offered none, scans every row;
//   xFilter     returns at least every row within the radius of the centre;
//   xColumn     gives the hidden columns the values xFilter received, and a double
//               (sqlite3_result_double) for every column published as "double" or
//               "float", whole or not: an integer would divide as an integer.
extern const char cone_ra_column[];     // "cone_ra"
extern const char cone_dec_column[];    // "cone_dec"
extern const char cone_radius_column[]; // "cone_radius"

// One column of the statement's rows.
struct result_column {
    std::string name;      // as ADQL names it: the alias, the column's name, or for another
                           // expression the lower-case name of its function (else "expr")
    int table = -1;        // a plain column of a published table: its index in tap_schema,
    int column = -1;       // and the column's in that table; -1 for anything else
    std::string datatype;  // VOTable datatype ("double", "long", "char", ...)
    std::string arraysize; // VOTable arraysize: "" for a scalar, "*" or a count
    std::string xtype;     // "point", "circle" or "polygon" for a geometry, else ""
};

// What is wrong with a query, and where.
struct adql_error {
    int line = 0;        // 1-based line of the offending token
    int column = 0;      // 1-based column (in characters) of its first character
    std::string token;   // the token as written; "" for the end of the query
    std::string message; // the whole sentence, e.g.
                         // Encountered "FORM" at line 1, column 10: expected FROM
};

struct adql_translation {
    std::string sql;                    // one SELECT statement for SQLite
    std::vector<result_column> columns; // one per column of its rows, in order
    long long top = -1;                 // the query's TOP n; -1 without TOP. The statement
                                        // has its own LIMIT n as well.
    adql_error error;                   // set when the translation failed
};

// The results of translate_adql.
enum {
    adql_translated = 0,   // sql, columns and top are set
    adql_syntax_error = 1, // not ADQL: a token where the grammar allows none such
    adql_unknown_name = 2, // a table, column or function that is not published, or a
                           // column name that more than one table of the query has
    adql_invalid = 3,      // ADQL, but meaningless: text compared with a number, an
                           // aggregate in WHERE, a geometry where a number belongs, ...
    adql_unsupported = 4,  // ADQL this service does not answer (subqueries, UNION, ...)
};

int translate_adql(const std::string& adql, const tap_schema& schema, adql_translation& out);

// Registers on `db` every SQL function a translated statement may call beyond SQLite's
// own: the mathematical functions, LIKE and ILIKE as ADQL means them and the geometry.
// Returns SQLITE_OK, or SQLite's code of the first registration that failed.
int register_adql_functions(sqlite3* db);

// What tap_authorizer lets a statement reach: the published tables, as SQLite names
// them, and the functions translated statements call.
struct tap_allowed {
    std::vector<std::string> databases; // sql_database of each table ("" = "main")
    std::vector<std::string> tables;    // sql_name of each table, in the same order
};

tap_allowed allowed_tables(const tap_schema& schema);

// An sqlite3_set_authorizer callback, with a tap_allowed as its user data: SQLITE_OK for
// a SELECT, for reading a column of an allowed table and for calling a function that
// translations emit; SQLITE_DENY for everything else (other tables, sqlite_schema,
// PRAGMA, ATTACH, writes, load_extension, ...).
int tap_authorizer(void* allowed, int action, const char* first, const char* second,
                   const char* database, const char* trigger_or_view);

#endif
