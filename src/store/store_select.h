// Finding entries of a store through its index: the rows of a box query, the candidate
// rows of any region of the sky, and a reader of rows for the answers' writers.
#ifndef GALSIFT_STORE_STORE_SELECT_H
#define GALSIFT_STORE_STORE_SELECT_H

#include "catalogue/entry.h"
#include "store/catalogue_store.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct query_bounds;

// A stretch of right ascension, as arc::value() gives it (seconds of time), bounds
// included.
struct ascension_range {
    double low, high;
};

// Every row whose declination value (seconds of arc) may lie in [low, high] and whose
// right ascension value may lie in one of the `count` ranges, and every row the index does
// not place: a superset of the rows inside, in index order. NaN bounds give the rows the
// index does not place alone.
std::vector<std::uint32_t> candidate_rows(const catalogue_store& store, double low, double high,
                                          const ascension_range* ranges, std::size_t count);

// The rows of every entry inside the box query `query` (its three intervals, bounds
// included, compared as result_list_generator compares them), in catalogue order.
std::vector<std::uint32_t> select_box(const catalogue_store& store, const query_bounds& query);

// Puts `rows` in catalogue order.
void sort_by_catalogue_place(const catalogue_store& store, std::vector<std::uint32_t>& rows);

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

#endif
