// ADQL turned into SQLite's SQL: names found and quoted, the operators' order kept, the
// functions mapped, and the spatial index's constraint added exactly where SQLite can
// hand it to the index.
#include "tap_schema_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string sql_of(const std::string& adql) {
    adql_translation out;
    int result = translate_adql(adql, test_schema(), out);
    return result == adql_translated ? out.sql : "error: " + out.error.message;
}

const std::string cone = R"( AND "t1"."cone_ra" = (10) AND "t1"."cone_dec" = (20) AND )"
                         R"("t1"."cone_radius" = )";

} // namespace

TEST(adql_translate, ValuesConditionsAndClauses) {
    struct {
        const char* adql;
        std::string sql;
    } cases[] = {
        {R"(SELECT RA AS "Right", Dec, "name" FROM GALSIFT.CG2000)",
         R"(SELECT "t1"."ra", "t1"."dec", "t1"."name" FROM "cat" AS "t1")"},
        {"SELECT z FROM cg2000 WHERE name = 'O''Brien' -- Irish",
         R"(SELECT "t1"."z" FROM "cat" AS "t1" WHERE "t1"."name" = 'O''Brien')"},
        {"SELECT (ra + 1) * 2, ra - (dec - 1), ra - dec - 1, -(-ra), 7/2, ra - -1, "
         "'a' || ra + 1, 0x1F, .5e-3 FROM cg2000",
         R"(SELECT ("t1"."ra" + 1) * 2, "t1"."ra" - ("t1"."dec" - 1), "t1"."ra" - "t1"."dec" - 1, )"
         R"(-(-"t1"."ra"), 7 / 2, "t1"."ra" - -1, 'a' || ("t1"."ra" + 1), 31, .5e-3 FROM "cat" AS "t1")"},
        {"SELECT z FROM cg2000 WHERE NOT (z > 1 OR z < 0) AND name NOT LIKE 'N%' AND "
         "name IS NOT NULL AND entry NOT IN (1, 2) OR z NOT BETWEEN 1 AND 2 AND name ILIKE 'x_'",
         R"(SELECT "t1"."z" FROM "cat" AS "t1" WHERE (NOT ("t1"."z" > 1 OR "t1"."z" < 0) AND )"
         R"(NOT adql_like("t1"."name", 'N%') AND "t1"."name" IS NOT NULL AND "t1"."entry" NOT IN )"
         R"((1, 2) OR "t1"."z" NOT BETWEEN 1 AND 2 AND adql_ilike("t1"."name", 'x_')))"},
        {"SELECT DISTINCT TOP 5 name AS n, z FROM cg2000 ORDER BY n DESC, 2 OFFSET 3",
         R"(SELECT DISTINCT "t1"."name", "t1"."z" FROM "cat" AS "t1" ORDER BY 1 DESC, 2 LIMIT 5 OFFSET 3)"},
        {"SELECT ra FROM cg2000 ORDER BY z + 1 OFFSET 10",
         R"(SELECT "t1"."ra" FROM "cat" AS "t1" ORDER BY "t1"."z" + 1 LIMIT -1 OFFSET 10)"},
        {"SELECT name AS n, COUNT(*), COUNT(DISTINCT z), MAX(z) FROM cg2000 GROUP BY n "
         "HAVING COUNT(*) > 1",
         R"(SELECT "t1"."name", count(*), count(DISTINCT "t1"."z"), max("t1"."z") FROM "cat" AS "t1" )"
         R"(GROUP BY "t1"."name" HAVING count(*) > 1)"},
        {"SELECT z, -3 AS k, COUNT(*) FROM cg2000 GROUP BY 1, k",
         R"(SELECT "t1"."z", -3, count(*) FROM "cat" AS "t1" GROUP BY 1, 2)"},
        {"SELECT LOG(z), LOG10(z), ROUND(z, -1), TRUNCATE(z), RAND(5), PI(), MOD(entry, 3), "
         "ABS(entry) FROM cg2000",
         R"(SELECT adql_log("t1"."z"), adql_log10("t1"."z"), adql_round("t1"."z", -1), )"
         R"(adql_truncate("t1"."z"), adql_rand(), adql_pi(), adql_mod("t1"."entry", 3), )"
         R"(abs("t1"."entry") FROM "cat" AS "t1")"},
        {"SELECT CAST(z AS VARCHAR(5)), CAST(z AS DOUBLE PRECISION), CAST(name AS BIGINT), "
         "COALESCE(name, 'x'), COALESCE(z), UPPER(name) FROM cg2000",
         R"(SELECT substr(CAST("t1"."z" AS TEXT), 1, 5), CAST("t1"."z" AS REAL), )"
         R"(CAST("t1"."name" AS INTEGER), coalesce("t1"."name", 'x'), "t1"."z", )"
         R"(upper("t1"."name") FROM "cat" AS "t1")"},
        {R"(SELECT "size", label FROM TAP_SCHEMA.columns, tap_upload.mine)",
         R"(SELECT "t1"."size", "t2"."label" FROM "tap_columns" AS "t1", "temp"."mine" AS "t2")"},
        {"SELECT * FROM TAP_UPLOAD.mine NATURAL FULL JOIN cg2000",
         R"(SELECT coalesce("t1"."ra", "t2"."ra"), coalesce("t1"."dec", "t2"."dec"), "t1"."id", )"
         R"("t1"."label", "t2"."z", "t2"."name", "t2"."entry" FROM "temp"."mine" AS "t1" )"
         R"(FULL JOIN "cat" AS "t2" ON "t1"."ra" = "t2"."ra" AND "t1"."dec" = "t2"."dec")"},
        {"SELECT m.*, ra FROM TAP_UPLOAD.mine AS m RIGHT OUTER JOIN cg2000 AS c USING (ra)",
         R"(SELECT "t1"."ra", "t1"."dec", "t1"."id", "t1"."label", "t2"."ra" FROM "temp"."mine" AS "t1" )"
         R"(RIGHT JOIN "cat" AS "t2" ON "t1"."ra" = "t2"."ra")"},
        {"SELECT a.z FROM cg2000 AS a, cg2000 AS b LEFT JOIN TAP_UPLOAD.mine AS m ON m.id = "
         "b.entry",
         R"(SELECT "t1"."z" FROM "cat" AS "t1", ("cat" AS "t2" LEFT JOIN "temp"."mine" AS "t3" )"
         R"(ON "t3"."id" = "t2"."entry"))"},
        {"SELECT POINT(ra, dec) AS p, COORD1(POINT(ra, dec)) + 1, BOX(10, 20, 1, 2) FROM cg2000",
         R"(SELECT adql_point("t1"."ra", "t1"."dec"), ("t1"."ra") + 1, adql_box(10, 20, 1, 2) )"
         R"(FROM "cat" AS "t1")"},
        {"SELECT ra FROM cg2000 WHERE DISTANCE(POINT(ra, dec), POINT(10, 20)) <= 1/60.",
         R"(SELECT "t1"."ra" FROM "cat" AS "t1" WHERE adql_in_circle("t1"."ra", "t1"."dec", 10, 20, )"
         R"(1 / 60.) = 1)" +
             cone + "0.016666667666666666"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adql);
        EXPECT_EQ(sql_of(c.adql), c.sql);
    }
}

// Where the index's constraint goes: a position constraint of an indexed table in the top
// AND chain, the table able to stand in the inner loop of what the circle reads.
TEST(adql_translate, SpatialIndexConstraints) {
    const std::string where = R"(SELECT "t1"."ra" FROM "cat" AS "t1" WHERE )";
    struct {
        const char* adql;
        std::string sql;
    } cases[] = {
        {"SELECT ra FROM cg2000 WHERE CONTAINS(POINT(ra, dec), CIRCLE(POINT(10, 20), 1)) = 1",
         where + R"(adql_in_circle("t1"."ra", "t1"."dec", 10, 20, 1) = 1)" + cone + "1.000000001"},
        {"SELECT ra FROM cg2000 WHERE 1 = INTERSECTS(CIRCLE('ICRS', 10, 20, 1), "
         "POINT('ICRS', ra, dec)) AND z > 0",
         where + R"(1 = adql_in_circle("t1"."ra", "t1"."dec", 10, 20, 1))" + cone +
             R"(1.000000001 AND "t1"."z" > 0)"},
        {"SELECT ra FROM cg2000 WHERE DISTANCE(POINT(10, 20), POINT(ra, dec)) < 0.5",
         where + R"(adql_distance(10, 20, "t1"."ra", "t1"."dec") < 0.5)" + cone + "0.500000001"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), BOX(10, 20, 2, 1))",
         where + R"(1 = adql_in_box("t1"."ra", "t1"."dec", 10, 20, 2, 1))" + cone +
             "1.1179885875000635"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), "
         "POLYGON(POINT(10, 20), POINT(11, 20), POINT(11, 21)))",
         where + R"(1 = adql_in_polygon("t1"."ra", "t1"."dec", 10, 20, 11, 20, 11, 21) AND )"
                 R"("t1"."cone_ra" = (10.665946126896058) AND "t1"."cone_dec" = )"
                 R"((20.333962135603134) AND "t1"."cone_radius" = 0.7357285663812845)"},
        // No constraint: under OR or NOT, on other columns, with a box of varying size,
        // a circle about the table's own row.
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), CIRCLE(10, 20, 1)) OR z > 1",
         where + R"((1 = adql_in_circle("t1"."ra", "t1"."dec", 10, 20, 1) OR "t1"."z" > 1))"},
        {"SELECT ra FROM cg2000 WHERE NOT 1 = CONTAINS(POINT(ra, dec), CIRCLE(10, 20, 1))",
         where + R"(NOT 1 = adql_in_circle("t1"."ra", "t1"."dec", 10, 20, 1))"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(dec, ra), CIRCLE(10, 20, 1))",
         where + R"(1 = adql_in_circle("t1"."dec", "t1"."ra", 10, 20, 1))"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), BOX(10, 20, z, 1))",
         where + R"(1 = adql_in_box("t1"."ra", "t1"."dec", 10, 20, "t1"."z", 1))"},
        {"SELECT ra FROM cg2000 WHERE 0 = CONTAINS(POINT(ra, dec), CIRCLE(ra, 20, 1))",
         where + R"(0 = adql_in_circle("t1"."ra", "t1"."dec", "t1"."ra", 20, 1))"},
        // Cross-matches: the circle read from the upload's row.
        {"SELECT c.ra FROM TAP_UPLOAD.mine AS m LEFT JOIN cg2000 AS c "
         "ON 1 = CONTAINS(POINT(c.ra, c.dec), CIRCLE(m.ra, m.dec, 0.1))",
         R"(SELECT "t2"."ra" FROM "temp"."mine" AS "t1" LEFT JOIN "cat" AS "t2" ON )"
         R"(1 = adql_in_circle("t2"."ra", "t2"."dec", "t1"."ra", "t1"."dec", 0.1) AND )"
         R"("t2"."cone_ra" = ("t1"."ra") AND "t2"."cone_dec" = ("t1"."dec") AND )"
         R"("t2"."cone_radius" = 0.100000001)"},
        {"SELECT c.ra FROM cg2000 AS c LEFT JOIN TAP_UPLOAD.mine AS m "
         "ON 1 = CONTAINS(POINT(c.ra, c.dec), CIRCLE(m.ra, m.dec, 0.1))",
         R"(SELECT "t1"."ra" FROM "cat" AS "t1" LEFT JOIN "temp"."mine" AS "t2" ON )"
         R"(1 = adql_in_circle("t1"."ra", "t1"."dec", "t2"."ra", "t2"."dec", 0.1))"},
        {"SELECT c.ra FROM cg2000 AS c, TAP_UPLOAD.mine AS m "
         "WHERE DISTANCE(c.ra, c.dec, m.ra, m.dec) < m.id / 100.0",
         R"(SELECT "t1"."ra" FROM "cat" AS "t1", "temp"."mine" AS "t2" WHERE )"
         R"(adql_distance("t1"."ra", "t1"."dec", "t2"."ra", "t2"."dec") < "t2"."id" / 100.0 AND )"
         R"("t1"."cone_ra" = ("t2"."ra") AND "t1"."cone_dec" = ("t2"."dec") AND )"
         R"("t1"."cone_radius" = ("t2"."id" / 100.0) + 1e-9)"},
        {"SELECT c.ra FROM cg2000 AS c LEFT JOIN TAP_UPLOAD.mine AS m ON m.id = c.entry "
         "WHERE DISTANCE(c.ra, c.dec, m.ra, m.dec) < 0.1",
         R"(SELECT "t1"."ra" FROM "cat" AS "t1" LEFT JOIN "temp"."mine" AS "t2" ON )"
         R"("t2"."id" = "t1"."entry" WHERE adql_distance("t1"."ra", "t1"."dec", "t2"."ra", )"
         R"("t2"."dec") < 0.1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adql);
        EXPECT_EQ(sql_of(c.adql), c.sql);
    }
}

// What the service is told of each column of the rows.
TEST(adql_translate, ColumnsDescribed) {
    adql_translation out;
    ASSERT_EQ(translate_adql("SELECT TOP 7 m.*, z AS \"Redshift\", COUNT(*), ra + 1, dec, "
                             "CIRCLE(ra, dec, 1), POLYGON(1, 2, 3, 4, 5, 6) "
                             "FROM cg2000 AS c JOIN TAP_UPLOAD.mine AS m USING (ra, dec) "
                             "GROUP BY m.ra, m.dec, m.id, m.Label, z",
                             test_schema(), out),
              adql_translated);
    struct {
        const char* name;
        int table, column;
        const char *datatype, *arraysize, *xtype;
    } expected[] = {
        {"ra", 1, 0, "double", "", ""},
        {"dec", 1, 1, "double", "", ""},
        {"id", 1, 2, "long", "", ""},
        {"Label", 1, 3, "char", "*", ""},
        {"Redshift", 0, 2, "double", "", ""},
        {"count", -1, -1, "long", "", ""},
        {"expr", -1, -1, "double", "", ""},
        {"dec", 0, 1, "double", "", ""}, // the USING column, read from the left table
        {"circle", -1, -1, "double", "3", "circle"},
        {"polygon", -1, -1, "double", "6", "polygon"},
    };
    ASSERT_EQ(out.columns.size(), std::size(expected));
    for (std::size_t n = 0; n < out.columns.size(); n++) {
        SCOPED_TRACE(n);
        const result_column& c = out.columns[n];
        EXPECT_EQ(c.name, expected[n].name);
        EXPECT_EQ(c.table, expected[n].table);
        EXPECT_EQ(c.column, expected[n].column);
        EXPECT_EQ(c.datatype, expected[n].datatype);
        EXPECT_EQ(c.arraysize, expected[n].arraysize);
        EXPECT_EQ(c.xtype, expected[n].xtype);
    }
    EXPECT_EQ(out.top, 7);
}
