// catalogue_entry: one entry of the catalogue as the answers show it, whoever holds it (a
// record of the console program's list, or the query server's store); and entry_reader,
// which hands the entries of one answer to its writer one at a time.
#ifndef GALSIFT_CATALOGUE_ENTRY_H
#define GALSIFT_CATALOGUE_ENTRY_H

#include "coords/arc.h"

struct record;

struct catalogue_entry {
    arc ascension;                   // hours, minutes, seconds of time; sign +1
    arc declination;                 // degrees as a magnitude, the sign in `sign`
                                     // (as Correct_record_list leaves it)
    double redshift = 0;             // spectroscopic redshift z
    const char* identification = ""; // the galaxy's name, as read (at most 99 bytes)
    const char* reference = "";      // the reference of the measurement, likewise
};

// The entry held by `entry`, a record of a corrected list; its texts stay the record's.
catalogue_entry entry_of(const record& entry);

// Hands the entries of an answer in their order, as a lua_Reader hands chunks: `read`
// fills `entry` with the next one and returns true, or returns false when none is left.
// What `state` points to belongs to whoever made the reader.
struct entry_reader {
    bool (*read)(void* state, catalogue_entry& entry) = nullptr;
    void* state = nullptr;

    bool next(catalogue_entry& entry) { return read(state, entry); }
};

// A reader of the selection chain that starts at `*first` and follows next_selected;
// `*first` moves along the chain as entries are read.
entry_reader chain_reader(const record** first);

#endif
