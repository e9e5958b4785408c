// Handing out records from large blocks.
#include "catalogue/record_pool.h"

#include "catalogue/record.h"

#include <cassert>
#include <cstdlib>
#include <new>

// Records per block: a few megabytes, so that a million records take a few hundred
// allocations rather than a million.
static const std::size_t records_per_block = 16384;

// One block: a link to the pool's block before it, then room for the records.
struct record_block {
    record_block* older;
    alignas(record) unsigned char space[records_per_block * sizeof(record)];
};

static record_pool program_pool;             // the console program's, never released
static record_pool* current = &program_pool; // where new_record carves from

// A new empty record from the current pool, or null when memory is exhausted.
record* new_record() {
    if (current->next == current->end) {
        auto* block = static_cast<record_block*>(std::malloc(sizeof(record_block)));
        if (!block)
            return nullptr;
        block->older = current->newest;
        current->newest = block;
        current->next = reinterpret_cast<record*>(block->space);
        current->end = current->next + records_per_block;
    }
    return new (current->next++) record();
}

// Makes new_record carve from `pool` (null: the program's own pool) and returns the pool
// it carved from before.
record_pool* use_record_pool(record_pool* pool) {
    record_pool* before = current;
    current = pool ? pool : &program_pool;
    return before;
}

std::size_t record_pool::bytes() const {
    std::size_t total = 0;
    for (const record_block* block = newest; block; block = block->older)
        total += sizeof(record_block);
    return total;
}

// Frees the pool's blocks; every record it handed out is then gone. The pool must not be
// the one new_record carves from. Records hold no resources of their own (fixed texts),
// so no destructor needs to run.
void record_pool::release() {
    assert(this != current);
    while (newest) {
        record_block* older = newest->older;
        std::free(newest);
        newest = older;
    }
    next = end = nullptr;
}
