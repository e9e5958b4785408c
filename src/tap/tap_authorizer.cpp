// Confining a translated statement to the published tables and to the functions that
// translations call: the last guard, should a translation ever emit more than it ought.
#include "tap/adql.h"
#include "tap/sql_functions.h"

#include <sqlite3.h>

#include <cassert>

// The SQLite names of the tables of `schema`, for tap_authorizer.
tap_allowed allowed_tables(const tap_schema& schema) {
    tap_allowed allowed;
    for (const tap_schema_table& table : schema.tables) {
        allowed.databases.push_back(table.sql_database.empty() ? "main" : table.sql_database);
        allowed.tables.push_back(table.sql_name);
    }
    return allowed;
}

// Whether `table` of `database` is one of `allowed`'s (SQLite's names ignore case).
static bool allowed_table(const tap_allowed& allowed, const char* database, const char* table) {
    if (!table)
        return false;
    for (std::size_t n = 0; n < allowed.tables.size(); n++)
        if (sqlite3_stricmp(table, allowed.tables[n].c_str()) == 0 &&
            (!database || sqlite3_stricmp(database, allowed.databases[n].c_str()) == 0))
            return true;
    return false;
}

// See adql.h. A read made by a view counts as the view's, when the view is published.
int tap_authorizer(void* allowed, int action, const char* first, const char* second,
                   const char* database, const char* trigger_or_view) {
    assert(allowed);
    const tap_allowed& tables = *static_cast<const tap_allowed*>(allowed);
    switch (action) {
    case SQLITE_SELECT:
        return SQLITE_OK;
    case SQLITE_READ:
        return allowed_table(tables, database, first) ||
                       (trigger_or_view && allowed_table(tables, nullptr, trigger_or_view))
                   ? SQLITE_OK
                   : SQLITE_DENY;
    case SQLITE_FUNCTION:
        return translated_function(second) ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}
