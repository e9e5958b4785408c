// Every SQL function translated statements may call, registered together.
#include "tap/sql_functions.h"
#include "tap/adql.h"

#include <sqlite3.h>

// SQLite's own functions that translations emit, then the ones registered here.
static const char* const allowed_functions[] = {
    "abs",           "lower",
    "upper",         "coalesce",
    "count",         "avg",
    "max",           "min",
    "sum",           "substr",
    "adql_ceiling",  "adql_floor",
    "adql_degrees",  "adql_radians",
    "adql_exp",      "adql_log",
    "adql_log10",    "adql_sqrt",
    "adql_sin",      "adql_cos",
    "adql_tan",      "adql_cot",
    "adql_asin",     "adql_acos",
    "adql_atan",     "adql_mod",
    "adql_power",    "adql_atan2",
    "adql_pi",       "adql_rand",
    "adql_round",    "adql_truncate",
    "adql_like",     "adql_ilike",
    "adql_distance", "adql_in_circle",
    "adql_in_box",   "adql_in_polygon",
    "adql_point",    "adql_circle",
    "adql_polygon",  "adql_box",
};

// See sql_functions.h.
bool translated_function(const char* name) {
    if (!name)
        return false;
    for (const char* allowed : allowed_functions)
        if (sqlite3_stricmp(name, allowed) == 0)
            return true;
    return false;
}

// See adql.h.
int register_adql_functions(sqlite3* db) {
    int status = register_math_functions(db);
    if (status == SQLITE_OK)
        status = register_like_functions(db);
    if (status == SQLITE_OK)
        status = register_geometry_functions(db);
    return status;
}
