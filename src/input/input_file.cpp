// Opening, block reading and the character-level operations of input_file.
#include "input/input_file.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

// Size of one block read from the file; the buffer grows beyond it only for a single
// token longer than a block.
static const std::size_t block_size = 1 << 20;

// Only a regular file, or a link to one, is opened: a directory, a FIFO or a device
// counts as a file that cannot be opened, so nothing can hang or be taken for an empty
// file.
bool input_file::open(const char* name) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error))
        return false;
    handle = std::fopen(name, "rb");
    if (!handle)
        return false;
    buffer = static_cast<char*>(std::malloc(block_size + 1));
    if (!buffer) {
        std::fclose(handle);
        handle = nullptr;
        return false;
    }
    capacity = block_size;
    start = end = passed = 0;
    buffer[end] = 0;
    at_end = broken = false;
    assert(sound());
    return true;
}

bool input_file::open_memory(const char* data, std::size_t size) {
    buffer = static_cast<char*>(std::malloc(size + 1));
    if (!buffer)
        return false;
    if (size)
        std::memcpy(buffer, data, size);
    capacity = size;
    start = passed = 0;
    end = size;
    buffer[end] = 0;
    at_end = true;
    broken = false;
    assert(sound());
    return true;
}

bool input_file::close() {
    if (handle)
        std::fclose(handle);
    std::free(buffer);
    handle = nullptr;
    buffer = nullptr;
    capacity = start = end = passed = 0;
    return !broken;
}

// ---- The slow side: refilling the buffer ----

// Moves the unread bytes to the front of the buffer, doubling it when it is full, and
// reads the next block behind them. Returns true when bytes were added; false when
// nothing more can be had (the end of the input, a failed read, no memory to grow).
bool input_file::refill() {
    assert(sound());
    if (at_end)
        return false;
    if (start > 0) {
        std::memmove(buffer, buffer + start, end - start);
        passed += start;
        end -= start;
        start = 0;
        buffer[end] = 0;
    }
    if (end == capacity) {
        char* grown = static_cast<char*>(std::realloc(buffer, capacity * 2 + 1));
        if (!grown) {
            broken = at_end = true;
            return false;
        }
        buffer = grown;
        capacity *= 2;
    }
    std::size_t want = capacity - end;
    std::size_t got = std::fread(buffer + end, 1, want, handle);
    end += got;
    buffer[end] = 0;
    if (got < want) {
        broken = std::ferror(handle) != 0;
        at_end = true;
    }
    assert(sound());
    return got > 0;
}

// The slow side of peek(): refills until the byte `ahead` places on is held.
int input_file::peek_slow(std::size_t ahead) {
    while (start + ahead >= end)
        if (!refill() && start + ahead >= end)
            return EOF;
    return static_cast<unsigned char>(buffer[start + ahead]);
}

// ---- Conversions of single bytes ----

int input_file::read_char(char& c) {
    int next = peek(0);
    if (next == EOF)
        return input_ended;
    c = static_cast<char>(next);
    start++;
    return item_converted;
}

int input_file::skip_char() {
    if (peek(0) == EOF)
        return input_ended;
    start++;
    return item_skipped;
}

// The slow side of skip_space(): goes on skipping across refills.
void input_file::skip_space_slow() {
    while (is_space(peek(0)))
        start++;
}

// Consumes bytes up to and including the next `stop`, looking at no more than `limit`
// bytes before it; the first `room` of the bytes before the stop are copied to `copy`
// and counted in `copied`, the rest dropped. Returns whether the stop was found; if not,
// the input is left after the bytes looked at (at the end of the file, or `limit` on).
bool input_file::consume_through(char stop, std::size_t limit, char* copy, std::size_t room,
                                 std::size_t& copied) {
    assert(sound() && (copy || room == 0));
    copied = 0;
    while (limit > 0 && peek(0) != EOF) {
        std::size_t avail = end - start < limit ? end - start : limit;
        const char* from = buffer + start;
        const void* found = std::memchr(from, stop, avail);
        std::size_t length =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - from) : avail;
        std::size_t keep = length < room - copied ? length : room - copied;
        if (keep > 0)
            std::memcpy(copy + copied, from, keep);
        copied += keep;
        start += length;
        assert(copied <= room && (found ? start < end : start <= end));
        if (found) {
            start++;
            return true;
        }
        limit -= length;
    }
    return false;
}
