// Making and filling an ordinary SQLite table, for the tables a connection builds itself
// (TAP_SCHEMA, the uploads).
#ifndef GALSIFT_TAP_SQL_TABLE_H
#define GALSIFT_TAP_SQL_TABLE_H

#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One value of a row.
struct sql_cell {
    enum kind_of { null, integer, real, text };
    kind_of kind = null;
    long long number = 0; // an integer
    double real_value = 0;
    std::string characters; // a text

    static sql_cell of(long long value);
    static sql_cell of(double value);
    static sql_cell of(const std::string& value); // text
    static sql_cell nothing() { return sql_cell(); }
};

// A table being filled: the INSERT statement of its rows.
struct sql_table_writer {
    sqlite3* db = nullptr;
    sqlite3_stmt* insert = nullptr;
    int columns = 0;

    ~sql_table_writer();
    // Adds a row of `columns` cells. Returns SQLITE_OK or SQLite's code.
    int add(const std::vector<sql_cell>& row);
};

// Makes the table `name` of `db`'s main database with the columns `names` of the SQLite
// types `types` ("TEXT", "INTEGER", "REAL", or "" for none), and readies `writer` to fill
// it. Returns SQLITE_OK, or SQLite's code with its message in `why`.
int create_sql_table(sqlite3* db, const std::string& name, const std::vector<std::string>& names,
                     const std::vector<std::string>& types, sql_table_writer& writer,
                     std::string& why);

// `name` as an SQLite identifier: in double quotes, inner ones doubled.
std::string sql_identifier(const std::string& name);

#endif
