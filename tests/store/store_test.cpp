// The store answers what the console program answers: the same entries, values and texts
// from the same file, and for any box the very selection of result_list_generator, in
// catalogue order; a cone finds what a walk of every entry finds. The catalogues hold what
// trips an index: entries on the bounds and on zone edges, at the poles and beyond them, at
// 0h and 24h and past 24h, "-00" declinations, duplicate positions, NaN fields.
#include "catalogue/entry.h"
#include "catalogue/record.h"
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "query/query_bounds.h"
#include "store/store_load.h"
#include "store/store_select.h"
#include "vo/cone.h"

#include "scratch_dir.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using store_test = scratch_dir;

// A random catalogue of `count` entries, with its lines in `text`.
static std::string random_catalogue(std::mt19937_64& random, int count) {
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string text;
    char line[256];
    for (int n = 0; n < count; n++) {
        int kind = pick(20);
        int hours = pick(24), minutes = pick(60), degrees = pick(91);
        double seconds = pick(6000) / 100.0, arc_seconds = pick(600) / 10.0;
        const char* sign = pick(2) ? "+" : "-";
        if (kind == 0) // a zone edge: 0.1 degree steps
            degrees = pick(90), minutes = 6 * pick(10), arc_seconds = 0;
        if (kind == 1) // a pole
            degrees = 90, minutes = 0, arc_seconds = 0;
        if (kind == 2) // 0h or 24h
            hours = pick(2) * 24, minutes = 0, seconds = 0;
        if (kind == 3) // "-00"
            sign = "-", degrees = 0;
        if (kind == 4 && n > 0) { // a duplicate position of the entry before
            text += text.substr(text.rfind('\n', text.size() - 2) + 1);
            continue;
        }
        if (kind == 5) { // beyond the pole, past 24h, or not a number
            const char* odd[] = {
                "25$10$00$+10$00$00$0.5$ odd $r$\n", "03$00$00$+95$00$00$0.5$ odd $r$\n",
                "nan$00$00$+10$00$00$0.5$ odd $r$\n", "03$00$00$-10$nan$00$0.5$ odd $r$\n",
                "-1$30$00$+10$00$00$0.5$ odd $r$\n"};
            text += odd[pick(5)];
            continue;
        }
        std::snprintf(line, sizeof line, "%02d$%02d$%05.2f$%s%02d$%02d$%04.1f$%.4f$ G%d $Ref %d$\n",
                      hours, minutes, seconds, sign, degrees, minutes, arc_seconds,
                      pick(30000) / 10000.0 - 0.01, n, pick(50));
        text += line;
    }
    return text;
}

static bool same_bits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

static bool same_arc(const arc& a, const arc& b) {
    return same_bits(a.degrees, b.degrees) && same_bits(a.minutes, b.minutes) &&
           same_bits(a.seconds, b.seconds) && a.sign == b.sign;
}

// The catalogue places of the console program's selection for `query`.
static std::vector<std::uint32_t> console_selection(const query_bounds& query) {
    reset_program_state();
    EXPECT_EQ(Read_record_list("CG2000.dat"), catalogue_read);
    Correct_record_list();
    set_program_query(query);
    result_list_generator();
    std::vector<std::uint32_t> places;
    std::uint32_t place = 0;
    for (const record* entry = DB_First.next; entry; entry = entry->next, place++)
        if (inside_query(*entry))
            places.push_back(place);
    std::uint32_t chained = 0;
    for (const record* entry = First_Selected; entry; entry = entry->next_selected)
        chained++;
    EXPECT_EQ(chained, places.size());
    return places;
}

// An angle of the query: sometimes an entry's own value, so that bounds fall on entries.
static arc random_bound(std::mt19937_64& random, bool hours) {
    arc angle;
    angle.degrees = static_cast<double>(random() % (hours ? 24 : 90));
    angle.minutes = static_cast<double>(random() % 60);
    angle.seconds = static_cast<double>(random() % 600) / 10.0;
    if (random() % 4 == 0)
        angle.minutes = angle.seconds = 0;
    return angle;
}

TEST_F(store_test, EntriesAndBoxesAsTheConsoleProgramHasThem) {
    std::mt19937_64 random(20261208);
    for (int round = 0; round < 12; round++) {
        write_file("CG2000.dat", random_catalogue(random, 3000));
        catalogue_store store;
        store_load_report report;
        ASSERT_EQ(load_store("CG2000.dat", store, report), store_loaded);

        // Every entry as the console's list holds it, bit for bit.
        reset_program_state();
        ASSERT_EQ(Read_record_list("CG2000.dat"), catalogue_read);
        Correct_record_list();
        std::vector<const record*> list;
        for (const record* entry = DB_First.next; entry; entry = entry->next)
            list.push_back(entry);
        ASSERT_EQ(list.size(), store.size());
        for (std::size_t row = 0; row < store.size(); row++) {
            catalogue_entry held = store.entry(row), read = entry_of(*list[store.number[row]]);
            EXPECT_TRUE(same_arc(held.ascension, read.ascension)) << row;
            EXPECT_TRUE(same_arc(held.declination, read.declination)) << row;
            EXPECT_TRUE(same_bits(held.redshift, read.redshift)) << row;
            EXPECT_STREQ(held.identification, read.identification);
            EXPECT_STREQ(held.reference, read.reference);
        }

        for (int box = 0; box < 40; box++) {
            query_bounds query;
            query.minimal_ascension = random_bound(random, true);
            query.maximal_ascension = random_bound(random, true);
            if (query.maximal_ascension.value() < query.minimal_ascension.value())
                std::swap(query.minimal_ascension, query.maximal_ascension);
            if (box % 5 == 0)
                query.maximal_ascension = arc(), query.maximal_ascension.degrees = 24;
            query.minimal_declination = random_bound(random, false);
            query.maximal_declination = random_bound(random, false);
            query.minimal_declination.sign = random() % 2 ? -1 : 1;
            query.maximal_declination.sign = random() % 2 ? -1 : 1;
            if (box % 7 == 0)
                query.minimal_declination = arc(), query.minimal_declination.degrees = 90,
                query.minimal_declination.sign = -1;
            if (query.maximal_declination.value() < query.minimal_declination.value())
                std::swap(query.minimal_declination, query.maximal_declination);
            query.min_redshift = box % 3 ? -1 : 0.5;
            query.max_redshift = box % 3 ? 10 : 1.5;
            std::vector<std::uint32_t> expected = console_selection(query), places;
            std::size_t needed = box % 2 ? SIZE_MAX : expected.size() / 2;
            store_selection selection = select_box(store, query, needed);
            for (std::uint32_t row : selection.rows)
                places.push_back(store.number[row]);
            EXPECT_EQ(selection.count, expected.size());
            expected.resize(std::min(needed, expected.size()));
            EXPECT_EQ(places, expected) << "round " << round << " box " << box;
        }
    }
}

TEST_F(store_test, ConesFindWhatAWalkOfEveryEntryFinds) {
    std::mt19937_64 random(4486);
    write_file("CG2000.dat", random_catalogue(random, 20000));
    catalogue_store store;
    store_load_report report;
    ASSERT_EQ(load_store("CG2000.dat", store, report), store_loaded);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 300; n++) {
        cone where;
        where.centre.ascension = n % 10 == 0 ? 0 : 360 * unit(random);
        where.centre.declination = n % 10 == 1   ? 89.95
                                   : n % 10 == 2 ? -90
                                                 : 180 * unit(random) - 90;
        where.radius = n % 3 == 0 ? 30 * unit(random) : 2 * unit(random);
        std::vector<std::uint32_t> found, walked;
        for (const cone_match& match : cone_search(store, where, 0).matches)
            found.push_back(store.number[match.row]);
        for (std::size_t row = 0; row < store.size(); row++) {
            double distance;
            catalogue_entry entry = store.entry(row);
            if (std::fabs(declination_degrees(entry.declination) - where.centre.declination) <=
                    where.radius + 1e-9 &&
                inside_cone(where, entry, distance))
                walked.push_back(store.number[row]);
        }
        std::sort(walked.begin(), walked.end());
        EXPECT_EQ(found, walked) << where.centre.ascension << " " << where.centre.declination << " "
                                 << where.radius;
    }
}

TEST_F(store_test, DamagedOrMovingFilesAreTold) {
    std::string good = "10$00$00$+10$00$00$0.5$ a $r$\n10$00$01$+10$00$00$0.5$ b $r$\n";
    std::string junk(400, 'x');
    for (std::size_t n = 50; n < junk.size(); n += 50)
        junk[n] = '\n';
    struct {
        std::string text;
        int result;
        std::size_t entries;
    } cases[] = {
        {good, store_loaded, 2},
        {good + "# a comment at the end\n", store_loaded, 2},
        {good + "10$00$02$+10$00$00$0.5$ c $r", store_cut, 3},
        {good + "10$00$02$+10$00$00$0.5", store_cut, 3},
        {junk, store_stopped_short, 0},
        {good + junk, store_stopped_short, 2},
        {"", store_loaded, 0},
    };
    for (const auto& c : cases) {
        write_file("CG2000.dat", c.text);
        catalogue_store store;
        store_load_report report;
        EXPECT_EQ(load_store("CG2000.dat", store, report), c.result) << c.text;
        EXPECT_EQ(report.entries, c.entries) << c.text;
    }
    catalogue_store store;
    store_load_report report;
    testing::internal::CaptureStdout();
    EXPECT_EQ(load_store("missing.dat", store, report), store_unopened);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error open file missing.dat\n");
}
