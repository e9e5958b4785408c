// store_select: the time of one box selection through the store's index, without the web
// server: reads a catalogue file into a store, then selects the 20' x 20' box of
// bench/store_bench (12:00:00 to 12:01:20, +01:50:00 to +02:10:00, all redshifts) 1,000
// times, three rounds, and prints the rows and the time a selection took.
//
// Usage: store_select FILE
#include "store/store_select.h"
#include "query/query_bounds.h"
#include "store/store_load.h"

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: store_select FILE\n", stderr);
        return 2;
    }
    catalogue_store store;
    store_load_report report;
    if (load_store(argv[1], store, report) != store_loaded)
        return 1;
    query_bounds box;
    box.minimal_ascension.degrees = 12;
    box.maximal_ascension.degrees = 12;
    box.maximal_ascension.minutes = 1;
    box.maximal_ascension.seconds = 20;
    box.minimal_declination.degrees = 1;
    box.minimal_declination.minutes = 50;
    box.maximal_declination.degrees = 2;
    box.maximal_declination.minutes = 10;
    box.max_redshift = 10;
    for (int round = 0; round < 3; round++) {
        auto start = std::chrono::steady_clock::now();
        std::size_t rows = 0;
        for (int n = 0; n < 1000; n++)
            rows = select_box(store, box, 10000).count;
        std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        std::printf("%zu rows, %.2f us a selection\n", rows, took.count() / 1000);
    }
    return 0;
}
