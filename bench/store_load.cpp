// store_load: reads a catalogue file into a store as the query server does, and prints
// what it took: entries, seconds, bytes held, bytes an entry.
//
// Usage: store_load FILE
#include "store/store_load.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: store_load FILE\n", stderr);
        return 2;
    }
    catalogue_store store;
    store_load_report report;
    int result = load_store(argv[1], store, report);
    std::printf("result %d: %zu entries, %.2f s, %zu bytes held, %.1f bytes an entry\n", result,
                report.entries, report.seconds, store.bytes(),
                report.entries
                    ? static_cast<double>(store.bytes()) / static_cast<double>(report.entries)
                    : 0.0);
    return result == store_loaded ? 0 : 1;
}
