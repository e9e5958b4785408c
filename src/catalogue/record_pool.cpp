// Handing out records from large blocks.
#include "catalogue/record_pool.h"

#include "catalogue/record.h"

#include <cstdlib>
#include <new>

// Records per block: a few megabytes, so that a million records take a few hundred
// allocations rather than a million.
static const std::size_t records_per_block = 16384;

static record* block_next = nullptr; // next free record of the current block
static record* block_end = nullptr;  // one past the last record of the current block

// A new empty record, or null when memory is exhausted. Records are never released.
record* new_record() {
    if (block_next == block_end) {
        void* block = std::malloc(records_per_block * sizeof(record));
        if (!block)
            return nullptr;
        block_next = static_cast<record*>(block);
        block_end = block_next + records_per_block;
    }
    return new (block_next++) record();
}
