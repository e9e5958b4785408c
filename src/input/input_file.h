// input_file: the one input primitive of the three readers (query form, style settings,
// catalogue).
//
// A file is read in large blocks into a buffer and scanned in memory. The operations
// consume exactly what the formatted-input conversions "%c", "%*c", "%d", "%lg" and a
// white-space directive consume in the C locale, and give the same values, so that every
// platform reads a file alike. The conversions return what such a conversion counts; their
// results are named below.
#ifndef GALSIFT_INPUT_INPUT_FILE_H
#define GALSIFT_INPUT_INPUT_FILE_H

#include <cassert>
#include <cstddef>
#include <cstdio>

// Results of the conversions read_char, skip_char, read_int and read_double: the counts
// that the formatted-input functions return.
const int item_converted = 1; // an item was read and stored
const int item_skipped = 0;   // "%*c" consumed a byte: a suppressed item is not counted
const int item_unmatched = 0; // what comes cannot be the item; the item keeps its value
const int input_ended = -1;   // the input ended before any byte of the item

// isspace() of the C locale, without a library call: the space, or "\t" "\n" "\v" "\f" "\r",
// which are the codes 9 to 13.
inline bool is_space(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

struct input_file {
    // ---- Opening and closing ----

    // Opens the regular file `name` (or a link to one). Returns true when open; false when
    // it does not exist, is not a regular file, or cannot be opened or given a buffer.
    bool open(const char* name);
    // Reads a copy of the `size` bytes at `data` instead of a file (fuzzers, tests, tools).
    // Returns true when open; false when the copy cannot be allocated.
    bool open_memory(const char* data, std::size_t size);
    // Closes the input and frees its buffer. Returns true; false when a read failed
    // part-way, so that the caller treats the file as one that could not be read.
    bool close();

    // ---- Reading ----

    // The byte `ahead` places after the next unread one, or EOF past the end; consumes
    // nothing.
    int peek(std::size_t ahead);
    // Consumes the next byte when it is `c`. Returns true when it was; false, consuming
    // nothing, when another byte or the end comes next.
    bool skip_if(char c);
    // "%c": stores the next byte, white space included, in `c`. Returns item_converted,
    // or input_ended.
    int read_char(char& c);
    // "%*c": consumes one byte. Returns item_skipped, or input_ended.
    int skip_char();
    // A white-space directive: consumes every white-space byte that comes next.
    void skip_space();
    // "%d": an optionally signed decimal integer into `value`. Returns item_converted;
    // item_unmatched when no digit comes (after consuming the sign) or the digits do not
    // fit 32 bits (after consuming them), `value` unchanged; input_ended at the end.
    int read_int(int& value);
    // "%lg": a number in decimal or hexadecimal form, or inf, infinity, nan, optionally
    // signed, into `value`. Returns item_converted; item_unmatched when what comes is
    // no number (after consuming what could begin one), `value` unchanged; input_ended at
    // the end.
    int read_double(double& value);
    // Consumes bytes up to and including the next `stop`, looking at no more than `limit`
    // bytes before it. The first `room` bytes before the stop are copied to `copy` and
    // counted in `copied`, the rest dropped. Returns true when the stop was found; false
    // when it was not, the input left after the bytes looked at (at the end, or `limit`
    // bytes on).
    bool consume_through(char stop, std::size_t limit, char* copy, std::size_t room,
                         std::size_t& copied);

    // ---- State ----

    // Whether a read has failed part-way, or the buffer could not grow for a long token.
    bool failed() const { return broken; }
    // Offset of the next unread byte from the start of the input: how many bytes have been
    // consumed. Read-only; the reader itself never needs it.
    std::size_t position() const { return passed + start; }

  private:
    std::FILE* handle = nullptr; // the open file; null when reading from memory
    char* buffer = nullptr;      // bytes read and not yet consumed live in [start, end);
                                 // buffer[end] is a zero byte, so that a scan for a number
                                 // or for white space stops there without checking the end
                                 // at every byte
    std::size_t capacity = 0;    // size of `buffer`, the zero byte after it not counted
    std::size_t start = 0;       // next unread byte
    std::size_t end = 0;         // one past the last byte held
    std::size_t passed = 0;      // bytes consumed and dropped from the buffer's front
    bool at_end = false;         // nothing is left in the input beyond `end`
    bool broken = false;         // a read failed part-way, or the buffer could not grow

    // What every operation relies on and leaves true while the input is open: the unread
    // bytes lie inside the buffer, and the zero byte follows them.
    bool sound() const { return buffer && start <= end && end <= capacity && !buffer[end]; }

    int peek_slow(std::size_t ahead);
    bool refill();
    void skip_space_slow();
    bool read_plain_double(double& value);
    int read_any_double(double& value);

    friend struct input_file_fault; // tests: a file whose reading fails part-way
};

// ---- The fast paths, inline: a byte at hand in the buffer ----

inline int input_file::peek(std::size_t ahead) {
    assert(sound());
    if (start + ahead < end)
        return static_cast<unsigned char>(buffer[start + ahead]);
    return peek_slow(ahead);
}

inline bool input_file::skip_if(char c) {
    assert(sound());
    if (start < end ? buffer[start] != c : peek_slow(0) != static_cast<unsigned char>(c))
        return false;
    start++;
    return true;
}

// The zero byte at buffer[end] is not white space and ends the first loop.
inline void input_file::skip_space() {
    assert(sound());
    while (is_space(buffer[start]))
        start++;
    if (start == end)
        skip_space_slow();
}

#endif
