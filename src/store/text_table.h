// text_table: every distinct text once. Texts are added one by one while a catalogue is
// read; an offset names each, and a text added again gets the offset it had.
#ifndef GALSIFT_STORE_TEXT_TABLE_H
#define GALSIFT_STORE_TEXT_TABLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct text_table {
    std::string texts;                // the texts, each followed by a zero byte
    std::vector<std::uint64_t> slots; // a hash table: a text's hash in the high 32 bits,
                                      // its offset + 1 in the low 32; 0: empty
    std::size_t count = 0;            // texts held

    // Makes room for `expected` texts of `bytes` bytes in all, so that reading a
    // catalogue of a known size does not grow the table step by step.
    void expect(std::size_t expected, std::size_t bytes);
    // The offset of `text` (zero-terminated) in `texts`, added when it is new. Returns
    // false when `texts` would pass 4 GB (offsets are 32 bits); the table is unchanged.
    bool add(const char* text, std::uint32_t& offset);
    // Gives the hash table back: only `texts` is kept.
    void drop_lookup();

  private:
    void grow(std::size_t size);
};

#endif
