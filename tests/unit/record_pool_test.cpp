// The record pools: lists read into pools of their own stay apart, a released pool takes
// only its own records, and the program's own pool is where records come from otherwise.
#include "catalogue/record.h"
#include "catalogue/record_pool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

// `count` records from `pool`, each with its number as identification.
static std::vector<record*> take(record_pool* pool, int count) {
    record_pool* before = use_record_pool(pool);
    std::vector<record*> taken;
    for (int n = 0; n < count; n++) {
        record* entry = new_record();
        EXPECT_NE(entry, nullptr);
        std::snprintf(entry->identification.text, string::size, "%d", n);
        taken.push_back(entry);
    }
    EXPECT_EQ(use_record_pool(before), pool ? pool : before);
    return taken;
}

TEST(record_pool, PoolsKeepTheirRecordsApartUntilReleased) {
    record_pool first, second;
    // Over one block's worth, so that each pool holds several blocks.
    const int count = 40000;
    std::vector<record*> a = take(&first, count);
    std::vector<record*> b = take(&second, 3);
    std::vector<record*> own = take(nullptr, 2);
    EXPECT_GE(first.bytes(), count * sizeof(record));
    EXPECT_LT(second.bytes(), first.bytes());
    for (record* entry : b)
        for (record* other : {a.front(), a.back()})
            EXPECT_NE(entry, other);

    first.release();
    EXPECT_EQ(first.bytes(), 0u);
    // The other pool's records are untouched (a sanitizer build would flag any use of
    // the released ones).
    for (int n = 0; n < 3; n++)
        EXPECT_STREQ(b[static_cast<std::size_t>(n)]->identification.text,
                     std::to_string(n).c_str());
    EXPECT_STREQ(own[1]->identification.text, "1");
    // A released pool can serve a new list.
    std::vector<record*> again = take(&first, 5);
    EXPECT_STREQ(again[4]->identification.text, "4");
    EXPECT_EQ(again[4]->next, nullptr);
    first.release();
    second.release();
}
