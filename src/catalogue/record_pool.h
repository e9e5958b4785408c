// new_record: where catalogue records come from, and the pools that hold them.
//
// Each record is allocated on its own, as the catalogue is read; the allocations are
// carved from large blocks, since a catalogue holds millions of records. The console
// program reads one list and keeps its records until it ends, in the program's own pool.
// A process that holds lists apart (the query server) gives each list a pool of its own
// with use_record_pool and releases the pool when the list is replaced.
#ifndef GALSIFT_CATALOGUE_RECORD_POOL_H
#define GALSIFT_CATALOGUE_RECORD_POOL_H

#include <cstddef>

struct record;
struct record_block;

// The blocks of one list's records.
struct record_pool {
    record_block* newest = nullptr; // the block records are carved from; each block
                                    // links to the one allocated before it
    record* next = nullptr;         // next free record of the newest block
    record* end = nullptr;          // one past the last record of the newest block

    std::size_t bytes() const; // memory held by the blocks
    void release();            // frees every block: the pool's records are gone
};

record* new_record();
record_pool* use_record_pool(record_pool* pool);

#endif
