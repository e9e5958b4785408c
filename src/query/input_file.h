// input_file: the one input primitive of the three readers (query form, style settings,
// catalogue).
//
// A file is read in large blocks into a buffer and scanned in memory. The operations
// consume exactly what the formatted-input conversions "%c", "%*c", "%d", "%lg" and a
// white-space directive consume in the C locale, and give the same values, so that every
// platform reads a file alike. Each returns what such a conversion counts: 1 for a
// converted item, 0 for a matching failure, -1 for end of input before any character.
#ifndef GALSIFT_QUERY_INPUT_FILE_H
#define GALSIFT_QUERY_INPUT_FILE_H

#include <cstddef>
#include <cstdio>

struct input_file {
    std::FILE* handle = nullptr; // the open file; null when reading from memory
    char* buffer = nullptr;      // bytes read and not yet consumed live in [start, end)
    std::size_t capacity = 0;    // size of `buffer`
    std::size_t start = 0;       // next unread byte
    std::size_t end = 0;         // one past the last byte held
    bool at_end = false;         // nothing is left in the file beyond `end`
    bool broken = false;         // a read failed part-way, or the buffer could not grow

    bool open(const char* name);
    bool open_memory(const char* data, std::size_t size);
    bool close();

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
    void skip_space();
    int read_int(int& value);
    int read_double(double& value);
};

// isspace() of the C locale, without a library call.
inline bool is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

#endif
