// Adding texts, each once: open addressing over offsets into the texts themselves, so that
// the table costs four bytes a slot beside the texts.
#include "store/text_table.h"

#include <cassert>
#include <cstring>

// FNV-1a of a zero-terminated text.
static std::uint64_t hash_of(const char* text) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (; *text; text++)
        hash = (hash ^ static_cast<unsigned char>(*text)) * 1099511628211ULL;
    return hash;
}

// Doubles the slots and places every text again.
void text_table::grow() {
    std::vector<std::uint32_t> old;
    old.swap(slots);
    slots.assign(old.empty() ? 1024 : old.size() * 2, 0);
    std::size_t mask = slots.size() - 1;
    for (std::uint32_t slot : old) {
        if (!slot)
            continue;
        std::size_t at = hash_of(texts.c_str() + slot - 1) & mask;
        while (slots[at])
            at = (at + 1) & mask;
        slots[at] = slot;
    }
}

bool text_table::add(const char* text, std::uint32_t& offset) {
    if ((count + 1) * 2 > slots.size())
        grow();
    assert(!slots.empty() && (slots.size() & (slots.size() - 1)) == 0);
    std::size_t mask = slots.size() - 1;
    std::size_t at = hash_of(text) & mask;
    for (; slots[at]; at = (at + 1) & mask) {
        if (std::strcmp(texts.c_str() + slots[at] - 1, text) == 0) {
            offset = slots[at] - 1;
            return true;
        }
    }
    std::size_t length = std::strlen(text);
    if (texts.size() + length + 1 >= UINT32_MAX)
        return false;
    offset = static_cast<std::uint32_t>(texts.size());
    texts.append(text, length + 1);
    slots[at] = offset + 1;
    count++;
    return true;
}

void text_table::drop_lookup() {
    std::vector<std::uint32_t>().swap(slots);
    count = 0;
}
