// Translated queries run by SQLite, with the functions registered and the authorizer
// installed: the values ADQL defines, and the same rows whether the catalogue is the
// indexed stand-in (tests/tap/cone_table.h) or an ordinary table, the index used where
// the translation hands it a circle.
#include "cone_table.h"
#include "tap_schema_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// An in-memory database holding the tables of test_schema().
struct test_database {
    sqlite3* db = nullptr;
    std::vector<catalogue_row> rows;
    cone_table_use use;
    tap_allowed allowed;

    test_database() {
        // A grid about (10, 20), a few about the pole and across right ascension 0.
        long long entry = 0;
        for (int i = -8; i <= 8; i++)
            for (int j = -8; j <= 8; j++)
                rows.push_back({10 + i * 0.07, 20 + j * 0.05, 0.001 * ((i * 7 + j * 3) & 31),
                                "G" + std::to_string(entry), ++entry});
        for (double ra : {0.2, 359.8, 120.0, 300.0})
            rows.push_back({ra, 89.9, 0.02, "P" + std::to_string(entry), ++entry});
        for (double ra : {359.7, 0.3, 1.5})
            rows.push_back({ra, 0.1, 0.03, "W" + std::to_string(entry), ++entry});
        sqlite3_open(":memory:", &db);
        register_adql_functions(db);
        create_cone_table(db, "cat", &rows, &use);
        exec("CREATE TABLE cat_plain(ra REAL, dec REAL, z REAL, name TEXT, entry INTEGER)");
        for (const catalogue_row& r : rows)
            exec("INSERT INTO cat_plain VALUES(" + std::to_string(r.ra) + "," +
                 std::to_string(r.dec) + "," + std::to_string(r.z) + ",'" + r.name + "'," +
                 std::to_string(r.entry) + ")");
        exec("CREATE TEMP TABLE mine(ra REAL, dec REAL, id INTEGER, label TEXT)");
        exec("INSERT INTO mine VALUES(10, 20, 1, 'centre'), (10.3, 20.1, 2, 'off'), "
             "(200, -45, 3, 'empty'), (359.9, 0, 4, 'wrap'), (NULL, NULL, 5, 'none')");
        exec("CREATE TABLE tap_columns(column_name TEXT, size INTEGER)");
        exec("INSERT INTO tap_columns VALUES('ra', 8)");
        // The catalogue's rows are exact in the stand-in; the ordinary table gets them
        // through text, so both read them back from that text.
        for (catalogue_row& r : rows) {
            r.ra = std::stod(std::to_string(r.ra));
            r.dec = std::stod(std::to_string(r.dec));
            r.z = std::stod(std::to_string(r.z));
        }
        tap_schema schema = test_schema();
        schema.tables.push_back(test_schema(false).tables[0]);
        allowed = allowed_tables(schema);
        sqlite3_set_authorizer(db, tap_authorizer, &allowed);
    }
    ~test_database() { sqlite3_close(db); }

    void exec(const std::string& sql) {
        ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(db);
    }

    // The rows of `adql` translated against `schema`, each as its values joined by "|";
    // an error's message in place of the rows when it fails.
    std::vector<std::string> rows_of(const std::string& adql, const tap_schema& schema) {
        adql_translation out;
        if (translate_adql(adql, schema, out) != adql_translated)
            return {"translation: " + out.error.message};
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, out.sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            return {"prepare: " + std::string(sqlite3_errmsg(db)) + " in " + out.sql};
        std::vector<std::string> found;
        int status;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(statement); c++) {
                const unsigned char* text = sqlite3_column_text(statement, c);
                row += (c ? "|" : "") + (text ? std::string(reinterpret_cast<const char*>(text))
                                              : std::string("NULL"));
            }
            found.push_back(row);
        }
        if (status != SQLITE_DONE)
            found.push_back("step: " + std::string(sqlite3_errmsg(db)));
        sqlite3_finalize(statement);
        return found;
    }
};

} // namespace

TEST(adql_rows, ValuesAsAdqlDefinesThem) {
    test_database data;
    struct {
        const char* expression;
        const char* value;
    } cases[] = {
        {"7/2", "3"},
        {"-7/2", "-3"},
        {"7/2.0", "3.5"},
        {"MOD(-7, 3)", "-1.0"},
        {"MOD(7.5, 2)", "1.5"},
        {"LOG(EXP(2))", "2.0"},
        {"LOG10(1000)", "3.0"},
        {"ROUND(1234.5678, -2)", "1200.0"},
        {"ROUND(1234.5678, 2)", "1234.57"},
        {"ROUND(-2.5)", "-3.0"},
        {"TRUNCATE(-2.7)", "-2.0"},
        {"TRUNCATE(1.987, 2)", "1.98"},
        {"CEILING(1.2)", "2.0"},
        {"FLOOR(-1.2)", "-2.0"},
        {"DEGREES(PI())", "180.0"},
        {"RADIANS(180) - PI()", "0.0"},
        {"POWER(2, 10)", "1024.0"},
        {"SQRT(-1)", "NULL"},
        {"ATAN2(1, 1) * 4 - PI()", "0.0"},
        {"COT(PI() / 4)", "1.0"},
        {"CAST(3.7 AS INTEGER)", "3"},
        {"CAST(12345 AS CHAR(3))", "123"},
        {"CAST('2.5' AS REAL) * 2", "5.0"},
        {"'x' || 1", "x1"},
        {"COALESCE(NULL, 2, 3)", "2"},
        {"UPPER('abc') || LOWER('DEF')", "ABCdef"},
        {"0x1F + 1e2", "131.0"},
        {"COORD2(POINT(1, 2))", "2"},
        {"POINT(10.5, -20)", "10.5 -20"},
        {"CIRCLE(POINT(1, 2), 0.1)", "1 2 0.1"},
        {"DISTANCE(0, 0, 0, 90)", "90.0"},
        {"\"size\" * 2", "16"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        std::vector<std::string> rows = data.rows_of(
            std::string("SELECT ") + c.expression + " FROM TAP_SCHEMA.columns", test_schema());
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0], c.value);
    }
}

TEST(adql_rows, ConditionsAsAdqlDefinesThem) {
    test_database data;
    struct {
        const char* condition;
        bool holds;
    } cases[] = {
        {"'Abc' LIKE 'A_c'", true},
        {"'Abc' LIKE 'a%'", false}, // SQLite's own LIKE would take it
        {"'Abc' ILIKE 'a%'", true},
        {"'caf\xC3\xA9' LIKE 'caf_'", true}, // "_" is one character, not one byte
        {"'abcabd' LIKE '%ab_'", true},
        {"'ab' LIKE 'a'", false},
        {"'' LIKE '%'", true},
        {"'abc' NOT LIKE 'b%'", true},
        {"NULL LIKE '%'", false},
        {"RAND() >= 0 AND RAND() < 1", true},
        {"2 BETWEEN 1 AND 3 AND 4 NOT BETWEEN 1 AND 3", true},
        {"3 IN (1, 2, 3) AND 4 NOT IN (1, NULL)", false}, // NOT IN meets NULL: unknown
        {"NULL IS NULL AND 1 IS NOT NULL", true},
        {"1 = CONTAINS(POINT(10, 20), BOX(10, 20, 0, 0))", true},
        {"0 = CONTAINS(POINT(190, -20), BOX(10, 20, 0, 0))", true},
        {"1 = INTERSECTS(POLYGON(0, 0, 2, 0, 2, 2, 0, 2), POINT(1.9, 1.9))", true},
        {"1 = CONTAINS(POINT(1, 1), POLYGON(0, 0, 0, 2, 2, 2, 2, 0))", true},
        {"0 = CONTAINS(POINT(3, 1), POLYGON(0, 0, 2, 0, 2, 2, 0, 2))", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.condition);
        std::vector<std::string> rows = data.rows_of(
            std::string("SELECT COUNT(*) FROM TAP_SCHEMA.columns WHERE ") + c.condition,
            test_schema());
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0], c.holds ? "1" : "0");
    }
}

// Each query answers the same rows through the index as from the ordinary table, and
// the index is searched exactly when the translation handed it a circle.
TEST(adql_rows, SameRowsWithAndWithoutTheIndex) {
    struct {
        const char* adql;
        bool indexed;
        std::size_t rows; // at least
    } cases[] = {
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), CIRCLE(10, 20, 0.2))", true,
         30},
        {"SELECT entry FROM cg2000 WHERE DISTANCE(POINT(ra, dec), POINT(10, 20)) <= 0.2 "
         "AND z > 0.005",
         true, 10},
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), BOX(10.1, 20, 0.3, 0.2))",
         true, 12},
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), "
         "POLYGON(9.8, 19.8, 10.3, 19.9, 10.1, 20.3))",
         true, 10},
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), CIRCLE(0, 0, 0.5))", true, 2},
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), CIRCLE(0, 90, 0.15))", true,
         4},
        {"SELECT m.id, c.entry FROM cg2000 AS c JOIN TAP_UPLOAD.mine AS m "
         "ON 1 = CONTAINS(POINT(c.ra, c.dec), CIRCLE(m.ra, m.dec, 0.1))",
         true, 10},
        {"SELECT m.id, c.entry, DISTANCE(c.ra, c.dec, m.ra, m.dec) FROM cg2000 AS c, "
         "TAP_UPLOAD.mine AS m WHERE DISTANCE(c.ra, c.dec, m.ra, m.dec) < 0.15",
         true, 10},
        {"SELECT m.id, c.entry FROM TAP_UPLOAD.mine AS m LEFT JOIN cg2000 AS c "
         "ON 1 = CONTAINS(POINT(c.ra, c.dec), CIRCLE(m.ra, m.dec, 0.1))",
         true, 12},
        {"SELECT a.entry, b.entry FROM cg2000 AS a JOIN cg2000 AS b "
         "ON 1 = CONTAINS(POINT(b.ra, b.dec), CIRCLE(a.ra, a.dec, 0.06)) WHERE a.z > 0.02",
         true, 20},
        {"SELECT c.entry, m.id FROM cg2000 AS c LEFT JOIN TAP_UPLOAD.mine AS m "
         "ON 1 = CONTAINS(POINT(c.ra, c.dec), CIRCLE(m.ra, m.dec, 0.1))",
         false, 296},
        {"SELECT entry FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), CIRCLE(10, 20, 0.1)) "
         "OR name = 'W295'",
         false, 10},
        {"SELECT COUNT(*), AVG(z), MIN(name) FROM cg2000 WHERE z BETWEEN 0.01 AND 0.02", false, 1},
        {"SELECT TOP 3 entry, z FROM cg2000 ORDER BY z DESC, entry OFFSET 2", false, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adql);
        test_database data;
        std::vector<std::string> indexed = data.rows_of(c.adql, test_schema());
        int searches = data.use.searches;
        std::vector<std::string> plain = data.rows_of(c.adql, test_schema(false));
        if (std::string(c.adql).find("ORDER BY") == std::string::npos) {
            std::sort(indexed.begin(), indexed.end());
            std::sort(plain.begin(), plain.end());
        }
        EXPECT_EQ(indexed, plain);
        EXPECT_GE(indexed.size(), c.rows);
        EXPECT_EQ(searches > 0, c.indexed);
    }
}
