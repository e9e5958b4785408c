// Box queries and candidate rows through the zones of the index.
#include "store/store_select.h"

#include "catalogue/selection.h"
#include "query/query_bounds.h"

#include <algorithm>
#include <cassert>

// The first row of [first, last) whose right ascension value is at least `value`; rows of
// a zone are in order of that value.
static std::uint32_t first_at_least(const catalogue_store& store, std::uint32_t first,
                                    std::uint32_t last, double value) {
    while (first < last) {
        std::uint32_t middle = first + (last - first) / 2;
        if (store.ascension_value(middle) < value)
            first = middle + 1;
        else
            last = middle;
    }
    return first;
}

// The first row of [first, last) whose right ascension value is above `value`.
static std::uint32_t first_above(const catalogue_store& store, std::uint32_t first,
                                 std::uint32_t last, double value) {
    while (first < last) {
        std::uint32_t middle = first + (last - first) / 2;
        if (store.ascension_value(middle) <= value)
            first = middle + 1;
        else
            last = middle;
    }
    return first;
}

std::vector<std::uint32_t> candidate_rows(const catalogue_store& store, double low, double high,
                                          const ascension_range* ranges, std::size_t count) {
    std::vector<std::uint32_t> rows;
    int first_zone = zone_of(low), last_zone = zone_of(high);
    for (int zone = first_zone; first_zone >= 0 && zone <= last_zone; zone++) {
        std::uint32_t begin = store.zone_start[static_cast<std::size_t>(zone)];
        std::uint32_t end = store.zone_start[static_cast<std::size_t>(zone) + 1];
        for (std::size_t n = 0; n < count; n++) {
            std::uint32_t from = first_at_least(store, begin, end, ranges[n].low);
            std::uint32_t to = first_above(store, from, end, ranges[n].high);
            for (std::uint32_t row = from; row < to; row++)
                rows.push_back(row);
        }
    }
    for (std::uint32_t row = store.odd_start(); row < store.size(); row++)
        rows.push_back(row);
    return rows;
}

void sort_by_catalogue_place(const catalogue_store& store, std::vector<std::uint32_t>& rows) {
    std::sort(rows.begin(), rows.end(),
              [&](std::uint32_t a, std::uint32_t b) { return store.number[a] < store.number[b]; });
}

std::vector<std::uint32_t> select_box(const catalogue_store& store, const query_bounds& query) {
    const query_box box = box_of(query);
    ascension_range range{box.min_ascension, box.max_ascension};
    std::vector<std::uint32_t> rows =
        candidate_rows(store, box.min_declination, box.max_declination, &range, 1);
    std::size_t kept = 0;
    for (std::uint32_t row : rows) {
        if (inside_box(box, store.declination_value(row), store.ascension_value(row),
                       store.field(row, 6)))
            rows[kept++] = row;
    }
    rows.resize(kept);
    sort_by_catalogue_place(store, rows);
    return rows;
}

// The step of a rows reader.
static bool read_rows(void* state, catalogue_entry& entry) {
    row_cursor& cursor = *static_cast<row_cursor*>(state);
    if (cursor.at == cursor.end)
        return false;
    entry = cursor.store->entry(*cursor.at++);
    return true;
}

entry_reader rows_reader(const catalogue_store& store, const std::uint32_t* rows, std::size_t count,
                         row_cursor& cursor) {
    cursor.store = &store;
    cursor.at = rows;
    cursor.end = rows + count;
    entry_reader reader;
    reader.read = read_rows;
    reader.state = &cursor;
    return reader;
}
