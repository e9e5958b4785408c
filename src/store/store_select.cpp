// Box queries and candidate rows through the zones of the index.
#include "store/store_select.h"

#include "catalogue/selection.h"
#include "query/query_bounds.h"

#include <algorithm>
#include <cassert>

// The first row of [first, last) whose right ascension value is at least `value`; rows of
// a zone are in order of that value.
std::uint32_t first_at_least(const catalogue_store& store, std::uint32_t first, std::uint32_t last,
                             double value) {
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
std::uint32_t first_above(const catalogue_store& store, std::uint32_t first, std::uint32_t last,
                          double value) {
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
    visit_candidates(store, low, high, ranges, count,
                     [&](std::uint32_t row) { rows.push_back(row); });
    return rows;
}

// Sorts `keys` (a catalogue place in the high 32 bits, a row in the low 32) so that the
// first `needed` are in order, the rest dropped; then gives their rows in `rows`.
static void rows_in_order(std::vector<std::uint64_t>& keys, std::vector<std::uint32_t>& rows,
                          std::size_t needed) {
    if (needed < keys.size()) {
        std::nth_element(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(needed),
                         keys.end());
        keys.resize(needed);
    }
    std::sort(keys.begin(), keys.end());
    rows.resize(keys.size());
    for (std::size_t n = 0; n < keys.size(); n++)
        rows[n] = static_cast<std::uint32_t>(keys[n]);
}

// The key that orders `row` by its catalogue place.
static std::uint64_t place_key(const catalogue_store& store, std::uint32_t row) {
    return static_cast<std::uint64_t>(store.number[row]) << 32 | row;
}

void sort_by_catalogue_place(const catalogue_store& store, std::vector<std::uint32_t>& rows,
                             std::size_t needed) {
    std::vector<std::uint64_t> keys(rows.size());
    for (std::size_t n = 0; n < rows.size(); n++)
        keys[n] = place_key(store, rows[n]);
    rows_in_order(keys, rows, needed);
}

store_selection select_box(const catalogue_store& store, const query_bounds& query,
                           std::size_t needed) {
    const query_box box = box_of(query);
    ascension_range range{box.min_ascension, box.max_ascension};
    std::vector<std::uint64_t> keys;
    visit_candidates(store, box.min_declination, box.max_declination, &range, 1,
                     [&](std::uint32_t row) {
                         if (inside_box(box, store.declination_value(row),
                                        store.ascension_value(row), store.field(row, 6)))
                             keys.push_back(place_key(store, row));
                     });
    store_selection selection;
    selection.count = keys.size();
    rows_in_order(keys, selection.rows, needed);
    return selection;
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
