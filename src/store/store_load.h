// load_store: reading a catalogue file into a store, and judging whether what was read is
// the whole file.
//
// The entries are read by the program's own reader, as Read_record_list and
// Correct_record_list read them: the same values, the same texts, the same stop at the
// first entry whose first field is not a number. A process that replaces a store it
// serves must not put a damaged or moving file in its place, so the load also says when
// the file changed while it was read, when it ends inside an entry, or when the reading
// stopped far from its end.
#ifndef GALSIFT_STORE_STORE_LOAD_H
#define GALSIFT_STORE_STORE_LOAD_H

#include "store/catalogue_store.h"

#include <cstddef>

// Results of load_store.
const int store_loaded = 0;        // the store holds the file's entries
const int store_unopened = 1;      // the file cannot be opened or read (message written,
                                   // as the console program's)
const int store_no_memory = 2;     // the entries do not fit in memory (message written)
const int store_changed = 3;       // the file changed while it was read
const int store_cut = 4;           // the file ends inside an entry (no "$" after its last
                                   // field)
const int store_stopped_short = 5; // the reading stopped before the end with at least
                                   // unread_lines_allowed lines, and more than one line
                                   // in a hundred of the file, left unread

// Fewest unread lines after a stop that make a file one that stopped short: a comment
// line or two at the end of a catalogue is no damage.
const std::size_t unread_lines_allowed = 2;

// What a load saw.
struct store_load_report {
    std::size_t entries = 0;      // entries read
    std::size_t unread_lines = 0; // lines after the place where the reading stopped
    double seconds = 0;           // time taken, reading and indexing
    // Called after every progress_step entries read and once more at the end, when set.
    void (*progress)(void* to, std::size_t entries, std::size_t bytes_read,
                     std::size_t file_bytes) = nullptr;
    void* progress_to = nullptr;
};

const std::size_t progress_step = 1000000;

// Reads the catalogue file `path` into `store` (emptied first) and indexes it. Returns one
// of the results above; `store` holds a usable store only for store_loaded, but also for
// the three judgements after it, for a caller that accepts any file as it stands.
int load_store(const char* path, catalogue_store& store, store_load_report& report);

#endif
