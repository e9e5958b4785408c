// Queries the translator must refuse, each with what it reports and where: the kind of
// fault, the line, the column (in characters), the offending token and the reason.
#include "tap_schema_fixture.h"

#include <gtest/gtest.h>

#include <string>

TEST(adql_errors, ReportedWithPositionAndToken) {
    std::string nested = "SELECT ";
    for (int n = 0; n < 30; n++)
        nested += "ABS(";
    nested += "ra" + std::string(30, ')') + " FROM cg2000";
    struct {
        std::string query;
        int result, line, column;
        const char* token;
        const char* reason;
    } cases[] = {
        {"SELECT * FORM cg2000", adql_syntax_error, 1, 10, "FORM", "expected FROM"},
        {"SELECT ra -- the position\nFORM cg2000", adql_syntax_error, 2, 6, "cg2000",
         "expected FROM"}, // FORM is read as the alias of ra
        {"SELECT ra FROM cg2000 WHERE", adql_syntax_error, 1, 28, "", "expected a value"},
        {"SELECT ra FROM cg2000 WHERE ra", adql_syntax_error, 1, 31, "", "expected a comparison"},
        {"SELECT ra FROM cg2000 WHERE z > 1 OR", adql_syntax_error, 1, 37, "", "expected a value"},
        {"SELECT size FROM TAP_SCHEMA.columns", adql_syntax_error, 1, 8, "size", "a reserved word"},
        {"SELECT ra FROM cg2000 AS top", adql_syntax_error, 1, 26, "top", "a reserved word"},
        {"SELECT 'caf\xC3\xA9', # FROM cg2000", adql_syntax_error, 1, 16, "#",
         "unexpected character"},
        {"SELECT ra FROM cg2000 WHERE name = 'abc", adql_syntax_error, 1, 36, "'abc", "not closed"},
        {"SELECT \"ra FROM cg2000", adql_syntax_error, 1, 8, "\"ra FROM cg2000", "not closed"},
        {"SELECT \"\" FROM cg2000", adql_syntax_error, 1, 8, "\"\"", "empty"},
        {"SELECT ra FROM cg2000 WHERE ra > 1e", adql_syntax_error, 1, 34, "1e", "malformed number"},
        {"SELECT ra FROM cg2000 WHERE ra > 12abc", adql_syntax_error, 1, 34, "12abc",
         "malformed number"},
        {"SELECT 0x10000000000000000 FROM cg2000", adql_syntax_error, 1, 8, "0x10000000000000000",
         "too large"},
        {"SELECT SIN(ra, dec) FROM cg2000", adql_syntax_error, 1, 8, "SIN", "SIN takes 1 argument"},
        {"SELECT ROUND(ra, dec) FROM cg2000", adql_syntax_error, 1, 18, "dec",
         "an integer literal"},
        {"SELECT DISTANCE(1, 2, 3) FROM cg2000", adql_syntax_error, 1, 8, "DISTANCE",
         "two points or four coordinates"},
        {"SELECT ra FROM cg2000 WHERE (z > 1) + 1 > 2", adql_syntax_error, 1, 32, ">",
         "a condition stands where a value belongs"},
        {"SELECT ra FROM cg2000 WHERE z > 1 AND ra", adql_syntax_error, 1, 41, "",
         "expected a comparison"},
        {"SELECT ra FROM cg2000 ORDER BY ra ASC DESC", adql_syntax_error, 1, 39, "DESC",
         "expected the end of the query"},
        {"SELECT ra FROM cg2000; SELECT 1", adql_syntax_error, 1, 24, "SELECT",
         "expected the end of the query"},
        {"SELECT ra FROM cg3000", adql_unknown_name, 1, 16, "cg3000", "no table"},
        {"SELECT rax FROM cg2000", adql_unknown_name, 1, 8, "rax", "no column"},
        {"SELECT c.ra FROM cg2000 AS m", adql_unknown_name, 1, 8, "c", "no table"},
        {"SELECT \"RA\" FROM cg2000", adql_unknown_name, 1, 8, "\"RA\"", "no column"},
        {"SELECT ra FROM cg2000, TAP_UPLOAD.mine", adql_unknown_name, 1, 8, "ra", "qualify it"},
        {"SELECT foo(ra) FROM cg2000", adql_unknown_name, 1, 8, "foo", "no function"},
        {"SELECT ra FROM cg2000 JOIN TAP_UPLOAD.mine USING (z)", adql_unknown_name, 1, 51, "z",
         "on both sides"},
        {"SELECT ra FROM cg2000\n WHERE z > 'x'", adql_invalid, 2, 10, ">",
         "compares a string with a number"},
        {"SELECT ra FROM cg2000 WHERE COUNT(*) > 1", adql_invalid, 1, 29, "COUNT",
         "not allowed here"},
        {"SELECT MAX(COUNT(*)) FROM cg2000", adql_invalid, 1, 12, "COUNT", "cannot hold"},
        {"SELECT ra + POINT(1, 2) FROM cg2000", adql_invalid, 1, 13, "POINT", "a geometry"},
        {"SELECT ra FROM cg2000 WHERE name LIKE 3", adql_invalid, 1, 39, "3", "a string is needed"},
        {"SELECT ra FROM cg2000 ORDER BY 2", adql_invalid, 1, 32, "2", "no selected column"},
        {"SELECT ra FROM cg2000 GROUP BY -1", adql_invalid, 1, 32, "-", "no selected column"},
        {"SELECT *, COUNT(*) FROM cg2000 GROUP BY 6", adql_invalid, 1, 41, "6",
         "cannot be grouped"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(POINT(ra, dec), 3)", adql_invalid, 1, 58, "3",
         "a CIRCLE, BOX or POLYGON"},
        {"SELECT CIRCLE(POINT(1, 2), 3, 4) FROM cg2000", adql_invalid, 1, 15, "POINT",
         "the centre"},
        {"SELECT a.ra FROM cg2000 AS a, cg2000 AS a", adql_invalid, 1, 41, "a", "already"},
        {"SELECT ra FROM cg2000 WHERE ra IN (SELECT ra FROM cg2000)", adql_unsupported, 1, 36,
         "SELECT", "subqueries"},
        {"SELECT ra FROM cg2000 UNION SELECT ra FROM cg2000", adql_unsupported, 1, 23, "UNION",
         "not supported"},
        {"SELECT AREA(CIRCLE(1, 2, 3)) FROM cg2000", adql_unsupported, 1, 8, "AREA",
         "not supported"},
        {"SELECT ra FROM cg2000 WHERE 1 = CONTAINS(CIRCLE(1, 2, 3), POINT(ra, dec))",
         adql_unsupported, 1, 42, "CIRCLE", "whether a point lies in a region"},
        {"SELECT TOP 99999999999999999999 ra FROM cg2000", adql_unsupported, 1, 12,
         "99999999999999999999", "too large"},
        {nested, adql_unsupported, 1, 8 + 24 * 4, "ABS", "nested too deeply"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        adql_translation out;
        EXPECT_EQ(translate_adql(c.query, test_schema(), out), c.result);
        EXPECT_EQ(out.error.line, c.line);
        EXPECT_EQ(out.error.column, c.column);
        EXPECT_EQ(out.error.token, c.token);
        EXPECT_NE(out.error.message.find(c.reason), std::string::npos) << out.error.message;
        EXPECT_TRUE(out.sql.empty());
    }
    adql_translation out;
    translate_adql("SELECT * FORM cg2000", test_schema(), out);
    EXPECT_EQ(out.error.message, "Encountered \"FORM\" at line 1, column 10: expected FROM");
}
