// Finding entries of a store through its index: the rows of a box query, the candidate
// rows of any region of the sky, and a reader of rows for the answers' writers.
#ifndef GALSIFT_STORE_STORE_SELECT_H
#define GALSIFT_STORE_STORE_SELECT_H

#include "catalogue/entry.h"
#include "store/catalogue_store.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

struct query_bounds;

// A stretch of right ascension, as arc::value() gives it (seconds of time), bounds
// included.
struct ascension_range {
    double low, high;
};

// Calls visit(row) for every row whose declination value (seconds of arc) may lie in
// [low, high] and whose right ascension value may lie in one of the `count` ranges, and
// for every row the index does not place: a superset of the rows inside, in index order.
// NaN bounds visit the rows the index does not place alone.
template <class visitor>
void visit_candidates(const catalogue_store& store, double low, double high,
                      const ascension_range* ranges, std::size_t count, visitor&& visit);

// The rows visit_candidates visits, in a vector.
std::vector<std::uint32_t> candidate_rows(const catalogue_store& store, double low, double high,
                                          const ascension_range* ranges, std::size_t count);

// Rows of a selection, the first of them in catalogue order.
struct store_selection {
    std::vector<std::uint32_t> rows; // in catalogue order
    std::size_t count = 0;           // rows selected, those left out of `rows` included
};

// The rows of every entry inside the box query `query` (its three intervals, bounds
// included, compared as result_list_generator compares them): `count` of them, the first
// `needed` (or all, when fewer) in `rows`, in catalogue order.
store_selection select_box(const catalogue_store& store, const query_bounds& query,
                           std::size_t needed = SIZE_MAX);

// Puts `rows` in catalogue order, keeping the first `needed` of them (all when fewer).
void sort_by_catalogue_place(const catalogue_store& store, std::vector<std::uint32_t>& rows,
                             std::size_t needed = SIZE_MAX);

// Where a reader of rows stands.
struct row_cursor {
    const catalogue_store* store = nullptr;
    const std::uint32_t* at = nullptr;  // the next row to read
    const std::uint32_t* end = nullptr; // one past the last
};

// A reader of the entries of the `count` rows from `rows`, in that order; `cursor` holds
// its place and must outlive it.
entry_reader rows_reader(const catalogue_store& store, const std::uint32_t* rows, std::size_t count,
                         row_cursor& cursor);

// ---- The inline part ----

std::uint32_t first_at_least(const catalogue_store& store, std::uint32_t first, std::uint32_t last,
                             double value);
std::uint32_t first_above(const catalogue_store& store, std::uint32_t first, std::uint32_t last,
                          double value);

template <class visitor>
void visit_candidates(const catalogue_store& store, double low, double high,
                      const ascension_range* ranges, std::size_t count, visitor&& visit) {
    int first_zone = zone_of(low), last_zone = zone_of(high);
    for (int zone = first_zone; first_zone >= 0 && zone <= last_zone; zone++) {
        std::uint32_t begin = store.zone_start[static_cast<std::size_t>(zone)];
        std::uint32_t end = store.zone_start[static_cast<std::size_t>(zone) + 1];
        for (std::size_t n = 0; n < count; n++) {
            std::uint32_t from = first_at_least(store, begin, end, ranges[n].low);
            std::uint32_t to = first_above(store, from, end, ranges[n].high);
            for (std::uint32_t row = from; row < to; row++)
                visit(row);
        }
    }
    for (std::uint32_t row = store.odd_start(); row < store.size(); row++)
        visit(row);
}

#endif
