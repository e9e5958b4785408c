// The store as an SQL table: a query whose position constraint goes through the index
// answers exactly what the same query answers by reading every entry (the constraint
// under "OR 1=0", which the translation never hands to the index), alone, with a second
// circle, and joined with an uploaded table; and it does go through the index.
#include "tap_fixture.h"

#include "tap/tap_database.h"
#include "vo/sky_position.h"
#include "vo/table_columns.h"

#include <sqlite3.h>

#include <algorithm>
#include <random>

using store_table_test = tap_fixture;

// A random catalogue of `count` entries, some on the poles, at 0h and 24h, on zone
// edges, beyond the pole or past 24h, and some with a NaN field.
static std::string random_catalogue(std::mt19937_64& random, int count) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string text;
    char line[256];
    for (int n = 0; n < count; n++) {
        int kind = pick(25), hours = pick(24), minutes = pick(60), degrees = pick(91);
        double seconds = pick(6000) / 100.0, arc_seconds = pick(600) / 10.0;
        const char* sign = pick(2) ? "+" : "-";
        if (kind == 0)
            degrees = 90, minutes = 0, arc_seconds = 0;
        if (kind == 1)
            hours = pick(2) * 24, minutes = 0, seconds = 0;
        if (kind == 2) {
            const char* odd[] = {"25$10$00$+10$00$00$0.5$ odd $r$\n",
                                 "03$00$00$+95$00$00$0.5$ odd $r$\n",
                                 "nan$00$00$+10$00$00$0.5$ odd $r$\n"};
            text += odd[pick(3)];
            continue;
        }
        std::snprintf(line, sizeof line, "%02d$%02d$%05.2f$%s%02d$%02d$%04.1f$%.4f$ G%d $R%d$\n",
                      hours, minutes, seconds, sign, degrees, minutes, arc_seconds,
                      pick(3000) / 1000.0, n, pick(50));
        text += line;
    }
    return text;
}

// `adql` with its WHERE constraint `where` handed to the index, and read by a full scan.
struct pair_of_queries {
    const char* where;
};

TEST_F(store_table_test, IndexedPositionsAnswerAsAFullScan) {
    std::mt19937_64 random(2212);
    load(random_catalogue(random, 20000));
    const pair_of_queries cases[] = {
        {"1=CONTAINS(POINT('ICRS', ra, dec), CIRCLE('ICRS', 187.7, 12.4, 3))"},
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 0.05, -20, 2))"}, // across 0h
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 359.9, 60, 5))"},
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 10, 89.5, 1))"}, // round the pole
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 0, -90, 0.2))"},
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 370, 95, 4))"}, // beyond the sky's ends
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 100, 0, 120))"},
        {"CONTAINS(POINT('', ra, dec), BOX('', 45, 30, 10, 4)) = 1"},
        {"1=CONTAINS(POINT('', ra, dec), POLYGON('', 10, 10, 20, 10, 15, 18))"},
        {"DISTANCE(POINT('', ra, dec), POINT('', 200, -45)) < 2.5"},
        {"1=CONTAINS(POINT('', ra, dec), CIRCLE('', 187, 12, 10)) AND "
         "1=CONTAINS(POINT('', ra, dec), CIRCLE('', 190, 14, 3))"}, // two circles
    };
    for (const pair_of_queries& c : cases) {
        std::string select = "SELECT entry, ra, dec, z, id FROM galsift.cg2000 WHERE ";
        std::string indexed, scanned;
        ASSERT_EQ(run(select + c.where + " ORDER BY entry", indexed).result, tap_completed)
            << c.where << "\n"
            << indexed;
        ASSERT_EQ(run(select + "(" + c.where + " OR 1=0) ORDER BY entry", scanned).result,
                  tap_completed);
        EXPECT_EQ(indexed, scanned) << c.where;
        EXPECT_GT(std::count(indexed.begin(), indexed.end(), '\n'), 2) << c.where;
    }
}

// The rows of a cross-match of `count` random positions, some of them entries' own.
static std::string upload_of_positions(std::mt19937_64& random, const catalogue_store& store,
                                       int count) {
    std::string document =
        "<VOTABLE version=\"1.3\"><RESOURCE><TABLE><FIELD name=\"k\" datatype=\"int\"/>"
        "<FIELD name=\"RA\" datatype=\"double\"/><FIELD name=\"Dec\" datatype=\"double\"/>"
        "<DATA><TABLEDATA>\n";
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < count; n++) {
        sky_position at{360 * unit(random), 180 * unit(random) - 90};
        if (n % 3 == 0)
            at = position_of(store.entry(random() % store.size()));
        document += "<TR><TD>" + std::to_string(n) + "</TD><TD>" + number_text(at.ascension) +
                    "</TD><TD>" + number_text(at.declination) + "</TD></TR>\n";
    }
    return document + "</TABLEDATA></DATA></TABLE></RESOURCE></VOTABLE>\n";
}

TEST_F(store_table_test, CrossMatchOfAnUploadAnswersAsAFullScan) {
    std::mt19937_64 random(3313);
    load(random_catalogue(random, 20000));
    std::vector<form_part> parts = {{"mine", true, upload_of_positions(random, store, 150)}};
    std::vector<upload_reference> uploads = {{"pos", "mine"}};
    const char* joins[] = {
        "SELECT u.k, c.entry FROM TAP_UPLOAD.pos AS u JOIN galsift.cg2000 AS c ON "
        "1=CONTAINS(POINT('', c.ra, c.dec), CIRCLE('', u.ra, u.dec, 1.5))",
        "SELECT u.k, c.entry FROM galsift.cg2000 AS c, TAP_UPLOAD.pos AS u WHERE "
        "DISTANCE(POINT('', u.ra, u.dec), POINT('', c.ra, c.dec)) <= 1.5",
    };
    for (const char* join : joins) {
        std::string indexed, scanned, sql = join;
        std::string scan = sql.find(" ON ") != std::string::npos
                               ? sql.replace(sql.find(" ON ") + 4, 0, "1=0 OR ")
                               : sql.replace(sql.find(" WHERE ") + 7, 0, "1=0 OR ");
        ASSERT_EQ(run(std::string(join) + " ORDER BY u.k, c.entry", indexed, tap_csv, 1000000,
                      parts, uploads)
                      .result,
                  tap_completed)
            << indexed;
        ASSERT_EQ(
            run(scan + " ORDER BY u.k, c.entry", scanned, tap_csv, 1000000, parts, uploads).result,
            tap_completed);
        EXPECT_EQ(indexed, scanned) << join;
        EXPECT_GT(std::count(indexed.begin(), indexed.end(), '\n'), 50);
    }
}

// The plan SQLite makes for the translation of `adql` over `database`.
static std::string plan_of(tap_database& database, const std::string& adql) {
    adql_translation translation;
    EXPECT_EQ(translate_adql(adql, database.schema, translation), adql_translated);
    sqlite3_stmt* statement = nullptr;
    std::string plan;
    EXPECT_EQ(sqlite3_prepare_v2(database.db, ("EXPLAIN QUERY PLAN " + translation.sql).c_str(), -1,
                                 &statement, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(database.db);
    while (sqlite3_step(statement) == SQLITE_ROW)
        plan +=
            reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)) + std::string("\n");
    sqlite3_finalize(statement);
    return plan;
}

TEST_F(store_table_test, CirclesGoThroughTheIndexInEitherOrderOfAJoin) {
    load("10$00$00$+10$00$00$0.5$ a $r$\n");
    upload_table positions;
    positions.fields = {{"ra", "double", "", "", "", "", "", ""},
                        {"dec", "double", "", "", "", "", "", ""}};
    tap_database database;
    std::string why;
    ASSERT_EQ(open_tap_database(catalogues, {{"pos", positions}}, database, why), SQLITE_OK) << why;
    const char* indexed[] = {
        "SELECT * FROM galsift.cg2000 WHERE 1=CONTAINS(POINT('', ra, dec), CIRCLE('', 1, 2, 3))",
        "SELECT * FROM galsift.cg2000 AS c JOIN TAP_UPLOAD.pos AS u ON "
        "1=CONTAINS(POINT('', c.ra, c.dec), CIRCLE('', u.ra, u.dec, 0.01))",
        "SELECT * FROM TAP_UPLOAD.pos AS u, galsift.cg2000 AS c WHERE "
        "DISTANCE(POINT('', c.ra, c.dec), POINT('', u.ra, u.dec)) < 0.01",
    };
    for (const char* adql : indexed) {
        std::string plan = plan_of(database, adql);
        EXPECT_NE(plan.find("VIRTUAL TABLE INDEX 1:"), std::string::npos) << adql << "\n" << plan;
    }
    std::string plan = plan_of(database, "SELECT * FROM galsift.cg2000 WHERE z > 1");
    EXPECT_NE(plan.find("VIRTUAL TABLE INDEX 0:"), std::string::npos) << plan;
}
