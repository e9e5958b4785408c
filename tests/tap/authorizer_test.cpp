// The authorizer lets a statement read the published tables and call the translations'
// functions, and nothing else.
#include "tap_schema_fixture.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

TEST(tap_authorizer, OnlyPublishedTablesAndFunctions) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    ASSERT_EQ(register_adql_functions(db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE tap_columns(column_name TEXT, size INTEGER);"
                           "CREATE TABLE secret(x); CREATE VIEW published AS SELECT x FROM secret;"
                           "CREATE TEMP TABLE mine(ra, dec, id, label); CREATE TABLE mine(id)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    tap_schema schema = test_schema();
    schema.tables.push_back({"public.published", "", "published", {{"x", "x", "int", ""}}});
    tap_allowed allowed = allowed_tables(schema);
    struct {
        const char* sql;
        bool allowed;
    } cases[] = {
        {"SELECT column_name, count(*), adql_sin(size) FROM tap_columns GROUP BY 1", true},
        {"SELECT label FROM temp.mine", true},
        {"SELECT x FROM published", true}, // the view reads what it was made to
        {"SELECT x FROM secret", false},
        {"SELECT id FROM main.mine", false}, // not the published temp table
        {"SELECT * FROM sqlite_master", false},
        {"SELECT * FROM sqlite_temp_schema", false},
        {"SELECT load_extension('x')", false},
        {"SELECT random()", false},
        {"SELECT sqlite_version()", false},
        {"PRAGMA table_info(tap_columns)", false},
        {"SELECT * FROM pragma_table_info('tap_columns')", false},
        {"ATTACH ':memory:' AS other", false},
        {"INSERT INTO tap_columns VALUES('a', 1)", false},
        {"DELETE FROM tap_columns", false},
        {"CREATE TABLE t(x)", false},
        {"DROP TABLE tap_columns", false},
        {"WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r", false},
    };
    // Each refused statement prepares without the authorizer: it is refused by it alone.
    auto prepares = [db](const char* sql) {
        sqlite3_stmt* statement = nullptr;
        int status = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        sqlite3_finalize(statement);
        return status == SQLITE_OK;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        sqlite3_set_authorizer(db, tap_authorizer, &allowed);
        EXPECT_EQ(prepares(c.sql), c.allowed) << sqlite3_errmsg(db);
        sqlite3_set_authorizer(db, nullptr, nullptr);
        EXPECT_TRUE(prepares(c.sql)) << sqlite3_errmsg(db);
    }
    sqlite3_close(db);
}
