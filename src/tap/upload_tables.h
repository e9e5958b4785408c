// The tables a query brings along (TAP_UPLOAD.name) as ordinary SQLite tables of its
// connection.
#ifndef GALSIFT_TAP_UPLOAD_TABLES_H
#define GALSIFT_TAP_UPLOAD_TABLES_H

#include "tap/published_tables.h"
#include "tap/votable_reader.h"

#include <string>

struct sqlite3;

// Makes `table`, the `number`-th upload of the query, the table TAP_UPLOAD.`name` of
// `db`, and describes it in `published`: its columns are the FIELDs, named as they are,
// with their datatypes and arraysizes. Returns SQLITE_OK, or SQLite's code with its
// message in `why`.
int create_upload_table(sqlite3* db, const std::string& name, int number, const upload_table& table,
                        published_table& published, std::string& why);

#endif
