// Selecting the records inside the query's box, and chaining them in catalogue order.
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using selection = scratch_dir;

// An angle written as "[+-]dd:mm:ss.s", its sign held apart as the readers leave it.
static arc sexagesimal(const char* text) {
    arc angle;
    if (*text == '-' || *text == '+')
        angle.sign = *text++ == '-' ? -1 : 1;
    EXPECT_EQ(std::sscanf(text, "%lf:%lf:%lf", &angle.degrees, &angle.minutes, &angle.seconds), 3)
        << text;
    return angle;
}

// Sets the query's box: right ascension, declination and redshift intervals.
static void set_query(const char* ra_min, const char* ra_max, const char* dec_min,
                      const char* dec_max, double z_min, double z_max) {
    minimal_ascension = sexagesimal(ra_min);
    maximal_ascension = sexagesimal(ra_max);
    minimal_declination = sexagesimal(dec_min);
    maximal_declination = sexagesimal(dec_max);
    min_redshift = z_min;
    max_redshift = z_max;
}

// A catalogue record as it stands after the sign pass.
static record make_record(const char* ascension, const char* declination, double redshift) {
    record entry;
    entry.ascension = sexagesimal(ascension);
    entry.declination = sexagesimal(declination);
    entry.redshift = redshift;
    return entry;
}

TEST_F(selection, BoundsAreInclusive) {
    set_query("10:00:00", "14:30:00", "-05:00:00", "+45:30:00", 0.5, 3);
    struct {
        const char *ascension, *declination;
        double redshift;
        bool inside;
    } cases[] = {
        {"12:00:00", "+00:00:00", 1, true},       {"10:00:00", "+20:00:00", 1, true},
        {"09:59:59.99", "+20:00:00", 1, false},   {"14:30:00", "+20:00:00", 1, true},
        {"14:30:00.01", "+20:00:00", 1, false},   {"12:00:00", "-05:00:00", 1, true},
        {"12:00:00", "-05:00:00.01", 1, false},   {"12:00:00", "+45:30:00", 1, true},
        {"12:00:00", "+45:30:00.01", 1, false},   {"12:00:00", "+20:00:00", 0.5, true},
        {"12:00:00", "+20:00:00", 0.4999, false}, {"12:00:00", "+20:00:00", 3, true},
        {"12:00:00", "+20:00:00", 3.0001, false}, {"10:00:00", "-05:00:00", 0.5, true},
        {"14:30:00", "+45:30:00", 3, true},       {"12:00:00", "-45:30:00", 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inside_query(make_record(c.ascension, c.declination, c.redshift)), c.inside)
            << c.ascension << " " << c.declination << " " << c.redshift;
}

TEST_F(selection, DeclinationBoxAcrossTheEquator) {
    set_query("00:00:00", "24:00:00", "-10:00:00", "+10:00:00", 0, 10);
    struct {
        const char* declination;
        bool inside;
    } cases[] = {
        {"-05:30:00", true},  {"-10:00:01", false}, {"-10:00:00", true}, {"+10:00:00", true},
        {"+10:00:01", false}, {"-00:30:00", true},  {"+00:00:00", true}, {"-11:00:00", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inside_query(make_record("12:00:00", c.declination, 1)), c.inside)
            << c.declination;
}

// A catalogue declination "-00 30 00" lies just south of the equator, and so does a query
// bound "-00:30:00".
TEST_F(selection, NegativeZeroDegreesInCatalogueAndQuery) {
    write_file("CG2000.dat", "12$00$00$-00$30$00$1$south$ref$\n");
    testing::internal::CaptureStdout();
    ASSERT_EQ(Read_record_list("CG2000.dat"), catalogue_read);
    Correct_record_list();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(DB_First.next, nullptr);
    struct {
        const char *minimum, *maximum;
        bool inside;
    } cases[] = {
        {"-00:30:00", "-00:29:00", true},  {"-00:30:00", "+00:30:00", true},
        {"-01:00:00", "-00:30:00", true},  {"+00:29:00", "+00:30:00", false},
        {"+00:30:00", "+01:00:00", false}, {"-00:29:59", "+00:30:00", false},
    };
    for (const auto& c : cases) {
        set_query("00:00:00", "24:00:00", c.minimum, c.maximum, 0, 10);
        EXPECT_EQ(inside_query(*DB_First.next), c.inside) << c.minimum << " " << c.maximum;
    }
}

TEST_F(selection, ChainFollowsCatalogueOrder) {
    // One character a record: 'x' lies inside the box, '.' outside.
    const char* cases[] = {"", "x", ".", "x....", "....x", "..x..", "x.x.x", "xxxxx", "....."};
    for (const char* pattern : cases) {
        SCOPED_TRACE(pattern);
        reset_program_state();
        set_query("00:00:00", "24:00:00", "-90:00:00", "+90:00:00", 0, 2);
        std::string marks = pattern;
        std::vector<record> records;
        for (char mark : marks)
            records.push_back(make_record("12:00:00", "+10:00:00", mark == 'x' ? 1 : 5));
        record* tail = &DB_First;
        for (record& entry : records)
            tail = tail->next = &entry;

        EXPECT_EQ(result_list_generator(), 0);

        std::vector<const record*> expected, chain;
        for (std::size_t n = 0; n < marks.size(); n++)
            if (marks[n] == 'x')
                expected.push_back(&records[n]);
        for (const record* entry = First_Selected; entry && chain.size() <= records.size();
             entry = entry->next_selected)
            chain.push_back(entry);
        EXPECT_EQ(chain, expected);
        EXPECT_EQ(number_of_selected, static_cast<int>(expected.size()));
        const record* entry = DB_First.next;
        for (std::size_t n = 0; n < records.size(); n++, entry = entry->next) {
            ASSERT_EQ(entry, &records[n]) << "the catalogue list is left as it was";
            if (marks[n] == '.') {
                EXPECT_EQ(records[n].next_selected, nullptr) << n;
            }
        }
        EXPECT_EQ(entry, nullptr);
        EXPECT_EQ(DB_First.next_selected, nullptr);
    }
}

TEST_F(selection, AListChainedAgainEndsItsChainAtItsLastMatch) {
    // A list held across queries (the query server) is chained once a query: a narrower
    // query after a wider one must not follow the wider one's links past its own matches.
    std::vector<record> records;
    for (double z : {1.0, 2.0, 3.0, 4.0})
        records.push_back(make_record("12:00:00", "+10:00:00", z));
    struct {
        double minimum, maximum;
        std::vector<int> chain;
    } queries[] = {
        {0, 10, {0, 1, 2, 3}}, {0, 1.5, {0}}, {1.5, 3.5, {1, 2}}, {5, 6, {}}, {2, 4, {1, 2, 3}}};
    for (const auto& query : queries) {
        SCOPED_TRACE(query.minimum);
        reset_program_state();
        record* tail = &DB_First;
        for (record& entry : records)
            tail = tail->next = &entry;
        set_query("00:00:00", "24:00:00", "-90:00:00", "+90:00:00", query.minimum, query.maximum);
        result_list_generator();
        std::vector<int> chain;
        for (const record* entry = First_Selected; entry && chain.size() <= records.size();
             entry = entry->next_selected)
            chain.push_back(static_cast<int>(entry - records.data()));
        EXPECT_EQ(chain, query.chain);
        EXPECT_EQ(number_of_selected, static_cast<int>(query.chain.size()));
    }
}
