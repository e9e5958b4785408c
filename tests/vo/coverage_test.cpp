// The coverage map's order rule, the entries it leaves out, and its degrading to a coarser
// order; that it equals what STILTS computes is shown by tests/vo/clients_test.py.
#include "store/store_load.h"
#include "vo/coverage_map.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

TEST(coverage, OrderFromTheCatalogueSize) {
    struct {
        std::size_t entries;
        int order;
    } cases[] = {
        {0, 6},       {1000, 6},    {196608, 6},  {196609, 7}, // 12 * 4^6 cells = 196608 / 4
        {1000000, 8}, {3145728, 8}, {3145729, 9}, {10000000, 9}, {50331648, 10}, {1000000000, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(coverage_order(c.entries), c.order) << c.entries;
}

TEST(coverage, EntriesNoSearchFindsAreLeftOut) {
    // The north pole, an entry beyond it (a declination field out of range) and a NaN
    // right ascension: only the first is covered, by the cell of the pole.
    std::string path = testing::TempDir() + "galsift-coverage.dat";
    std::ofstream(path) << "00$00$0$+90$00$00$1$ pole $r$\n00$00$0$+95$00$00$1$ beyond $r$\n"
                           "nan$00$0$+10$00$00$1$ nan $r$\n";
    catalogue_store store;
    store_load_report report;
    ASSERT_EQ(load_store(path.c_str(), store, report), store_loaded);
    std::remove(path.c_str());
    ASSERT_EQ(store.size(), 3u);
    coverage_map map;
    ASSERT_EQ(make_coverage(store, 3, map), coverage_made);
    EXPECT_EQ(map.order, 3);
    // The pole is the north corner of base cell 0: the last of its 64 cells at order 3.
    EXPECT_EQ(map.cells, (std::vector<std::int64_t>{4 * 64 + 63}));
}

TEST(coverage, DegradedKeepsEveryCoveredCell) {
    coverage_map map{3, {4 * 64 + 0, 4 * 64 + 5, 4 * 64 + 700}}; // cells 0, 5 and 700 at 3
    struct {
        int order;
        std::vector<std::int64_t> cells;
    } cases[] = {
        {3, {256, 261, 956}},
        {2, {16 * 4 + 0, 16 * 4 + 1, 16 * 4 + 175}},
        {1, {4 * 4 + 0, 4 * 4 + 43}},
        {0, {4, 4 + 10}},
    };
    for (const auto& c : cases) {
        coverage_map coarser = degraded_coverage(map, c.order);
        EXPECT_EQ(coarser.order, c.order);
        EXPECT_EQ(coarser.cells, c.cells) << c.order;
    }
}
