// TAP_SCHEMA as ordinary SQLite tables: made and filled on each connection of a query
// from the published tables, so that a query reads them as any other table.
#ifndef GALSIFT_TAP_TAP_SCHEMA_TABLES_H
#define GALSIFT_TAP_TAP_SCHEMA_TABLES_H

#include "tap/published_tables.h"

#include <string>
#include <vector>

struct sqlite3;

// A name as an ADQL query writes it: itself when it is a regular identifier that is no
// reserved word, else delimited ("size", "my column"), inner quotes doubled.
std::string adql_name_of(const std::string& name);

// Makes TAP_SCHEMA's five tables (published_tables() names them) in the main database of
// `db` and fills them with the description of `tables`. Returns SQLITE_OK, or SQLite's
// code with its message in `why`.
int create_tap_schema(sqlite3* db, const std::vector<published_table>& tables, std::string& why);

#endif
