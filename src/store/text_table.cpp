// Adding texts, each once: open addressing over the texts' offsets, each slot keeping its
// text's hash, so that neither a probe nor a growth reads the texts themselves but for the
// one comparison that finds a text again.
#include "store/text_table.h"

#include <cassert>
#include <cstring>

// FNV-1a of a zero-terminated text, and its length.
static std::uint32_t hash_of(const char* text, std::size_t& length) {
    std::uint64_t hash = 1469598103934665603ULL;
    const char* at = text;
    for (; *at; at++)
        hash = (hash ^ static_cast<unsigned char>(*at)) * 1099511628211ULL;
    length = static_cast<std::size_t>(at - text);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// Places every slot in a table of `size` slots (a power of two).
void text_table::grow(std::size_t size) {
    std::vector<std::uint64_t> old;
    old.swap(slots);
    slots.assign(size, 0);
    std::size_t mask = size - 1;
    for (std::uint64_t slot : old) {
        if (!slot)
            continue;
        std::size_t at = (slot >> 32) & mask;
        while (slots[at])
            at = (at + 1) & mask;
        slots[at] = slot;
    }
}

void text_table::expect(std::size_t expected, std::size_t bytes) {
    std::size_t size = 1024;
    while (size < expected + expected / 3)
        size *= 2;
    if (size > slots.size())
        grow(size);
    texts.reserve(bytes);
}

bool text_table::add(const char* text, std::uint32_t& offset) {
    if ((count + 1) * 4 > slots.size() * 3) // at most three slots in four taken
        grow(slots.empty() ? 1024 : slots.size() * 2);
    assert(!slots.empty() && (slots.size() & (slots.size() - 1)) == 0);
    std::size_t length;
    std::uint64_t hash = hash_of(text, length);
    std::size_t mask = slots.size() - 1;
    std::size_t at = hash & mask;
    for (; slots[at]; at = (at + 1) & mask) {
        std::uint64_t slot = slots[at];
        std::uint32_t place = static_cast<std::uint32_t>(slot) - 1;
        if ((slot >> 32) == hash && std::memcmp(texts.data() + place, text, length + 1) == 0) {
            offset = place;
            return true;
        }
    }
    if (texts.size() + length + 1 >= UINT32_MAX)
        return false;
    offset = static_cast<std::uint32_t>(texts.size());
    texts.append(text, length + 1);
    slots[at] = hash << 32 | (offset + 1);
    count++;
    return true;
}

void text_table::drop_lookup() {
    std::vector<std::uint64_t>().swap(slots);
    count = 0;
}
