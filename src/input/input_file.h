// input_file: the one input primitive of the three readers (query form, style settings,
// catalogue).
//
// A file is read in large blocks into a buffer and scanned in memory. The operations
// consume exactly what the formatted-input conversions "%c", "%*c", "%d", "%lg" and a
// white-space directive consume in the C locale, and give the same values, so that every
// platform reads a file alike. Each returns what such a conversion counts: 1 for a
// converted item, 0 for a matching failure, -1 for end of input before any character.
#ifndef GALSIFT_INPUT_INPUT_FILE_H
#define GALSIFT_INPUT_INPUT_FILE_H

#include <cstddef>
#include <cstdio>

// isspace() of the C locale, without a library call: the space, or "\t" "\n" "\v" "\f" "\r",
// which are the codes 9 to 13.
inline bool is_space(int c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

struct input_file {
    std::FILE* handle = nullptr; // the open file; null when reading from memory
    char* buffer = nullptr;      // bytes read and not yet consumed live in [start, end);
                                 // buffer[end] is a zero byte, so that a scan for a number
                                 // stops there without checking the end at every byte
    std::size_t capacity = 0;    // size of `buffer`, the zero byte after it not counted
    std::size_t start = 0;       // next unread byte
    std::size_t end = 0;         // one past the last byte held
    bool at_end = false;         // nothing is left in the file beyond `end`
    bool broken = false;         // a read failed part-way, or the buffer could not grow
    std::size_t passed = 0;      // bytes consumed and dropped from the buffer's front

    bool open(const char* name);
    bool open_memory(const char* data, std::size_t size);
    bool close();

    // Offset of the next unread byte from the start of the input: how many bytes have been
    // consumed. Read-only; the reader itself never needs it.
    std::size_t position() const { return passed + start; }

    // The byte `ahead` places after the next unread one, or EOF; refills as needed.
    int peek(std::size_t ahead) {
        if (start + ahead < end)
            return static_cast<unsigned char>(buffer[start + ahead]);
        return peek_slow(ahead);
    }
    int peek_slow(std::size_t ahead);
    bool refill();

    int read_char(char& c);
    int skip_char();
    bool consume_through(char stop, std::size_t limit, char* copy, std::size_t room,
                         std::size_t& copied);

    // A white-space directive: skips every white-space byte, refilling as needed. The zero
    // byte at buffer[end] is not white space and ends the first loop.
    void skip_space() {
        while (is_space(buffer[start]))
            start++;
        if (start == end)
            skip_space_slow();
    }
    void skip_space_slow();
    int read_int(int& value);
    int read_double(double& value);
    int read_any_double(double& value);
};

#endif
