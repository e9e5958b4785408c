// The SQLite connection of one query: the catalogues as tables, TAP_SCHEMA, the query's
// uploads, the functions translated statements call, and the authorizer that confines a
// statement to the tables published to it. Each query opens its own, over the stores of
// the site state it holds; nothing in it is shared with another query.
#ifndef GALSIFT_TAP_TAP_DATABASE_H
#define GALSIFT_TAP_TAP_DATABASE_H

#include "tap/adql.h"
#include "tap/published_tables.h"
#include "tap/votable_reader.h"

#include <string>
#include <utility>
#include <vector>

struct catalogue_store;
struct sqlite3;

// One epoch's catalogue as the query sees it.
struct tap_catalogue {
    int epoch = 2000;
    const catalogue_store* store = nullptr; // null when it cannot be read now
    std::string unreadable;                 // then why, for the query that reads it
};

struct tap_database {
    sqlite3* db = nullptr;
    std::vector<published_table> tables; // the catalogues, TAP_SCHEMA, the uploads
    tap_schema schema;                   // the same, as the translator reads it
    tap_allowed allowed;                 // what the authorizer lets a statement read

    tap_database() = default;
    tap_database(const tap_database&) = delete;
    tap_database& operator=(const tap_database&) = delete;
    ~tap_database(); // closes the connection
};

// Opens `database` over the two `catalogues` with the `uploads` (each a name in
// TAP_UPLOAD and its table) and installs the authorizer. Returns SQLITE_OK, or SQLite's
// code with its message in `why`.
int open_tap_database(const tap_catalogue catalogues[2],
                      const std::vector<std::pair<std::string, upload_table>>& uploads,
                      tap_database& database, std::string& why);

#endif
