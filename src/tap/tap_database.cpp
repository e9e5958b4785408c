// Opening a query's connection.
#include "tap/tap_database.h"

#include "tap/store_table.h"
#include "tap/tap_schema_tables.h"
#include "tap/upload_tables.h"

#include <sqlite3.h>

tap_database::~tap_database() {
    sqlite3_close(db);
}

// Longest text or blob a statement may make, in bytes: far beyond any catalogue value,
// small enough that no query can make the server's memory its own.
static const int longest_value = 1 << 24;

int open_tap_database(const tap_catalogue catalogues[2],
                      const std::vector<std::pair<std::string, upload_table>>& uploads,
                      tap_database& database, std::string& why) {
    int status =
        sqlite3_open_v2(":memory:", &database.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
        why = database.db ? sqlite3_errmsg(database.db) : "no memory for a connection";
        return status;
    }
    sqlite3* db = database.db;
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, longest_value);
    database.tables = published_tables();
    for (int n = 0; n < 2 && status == SQLITE_OK; n++)
        status = register_store_table(db, catalogue_sql_name(catalogues[n].epoch),
                                      catalogues[n].store, catalogues[n].unreadable);
    if (status == SQLITE_OK)
        status = register_adql_functions(db);
    if (status != SQLITE_OK) {
        why = sqlite3_errmsg(db);
        return status;
    }
    status = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    if (status == SQLITE_OK)
        status = create_tap_schema(db, database.tables, why);
    for (std::size_t n = 0; status == SQLITE_OK && n < uploads.size(); n++) {
        published_table table;
        status = create_upload_table(db, uploads[n].first, static_cast<int>(n) + 1,
                                     uploads[n].second, table, why);
        database.tables.push_back(table);
    }
    if (status == SQLITE_OK)
        status = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    // A virtual table is connected when a statement first names it, and stays so: the
    // authorizer would refuse the declaration of its columns then.
    for (int n = 0; n < 2 && status == SQLITE_OK; n++)
        status = sqlite3_exec(
            db,
            ("SELECT entry FROM " + catalogue_sql_name(catalogues[n].epoch) + " LIMIT 0").c_str(),
            nullptr, nullptr, nullptr);
    if (status != SQLITE_OK) {
        if (why.empty())
            why = sqlite3_errmsg(db);
        return status;
    }
    // From here on a statement reaches nothing but the published tables.
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    database.schema = schema_of(database.tables);
    database.allowed = allowed_tables(database.schema);
    return sqlite3_set_authorizer(db, tap_authorizer, &database.allowed);
}
