// A second reading of the three input files, done the way the file formats are defined:
// one formatted-input conversion of the C library at a time ("%d", "%lg", "%c", "%*c" and
// white-space directives), the stop characters found a "%c" at a time. The fuzz targets
// compare what the program's own readers found with it.
//
// Where the program deliberately parts from the C library, the reading here does too: a
// "%d" value that does not fit 32 bits keeps the previous value, and a text field keeps
// its first 99 bytes. One difference cannot be followed: after a failed "%lg" that began
// like "inf" or "nan", the C library has swallowed one byte more than the program. From
// that point on the two readings may part, so `diverged` is set and the caller compares
// only what was read before.
#ifndef GALSIFT_FUZZ_REFERENCE_READER_H
#define GALSIFT_FUZZ_REFERENCE_READER_H

#include "coords/arc.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

struct reference_input {
    std::FILE* file = nullptr; // the input file, opened for reading
    std::string data;          // its bytes, to see what a conversion consumed
    std::string messages;      // the stop-signal messages the reading should write
    bool diverged = false;     // a failed "%lg" swallowed a byte the program keeps
    bool open(const char* name);
    void close();
};

// The query form as read, before any check.
struct reference_query {
    int epoch = 2000;
    arc bounds[4];                // minimal, maximal ascension; minimal, maximal declination
    char signs[2] = {'+', '+'};   // sign characters of the two declinations
    double redshifts[2] = {0, 0}; // minimal, maximal redshift
    int fields_read = 0;          // fields read before any divergence (0..7)
};

struct reference_style {
    int border = 0, width = 0, height = 0;
    char colors = 0, header = 0, cells = 0;
};

struct reference_record {
    arc declination, ascension; // as read: the declination's degrees still carry the sign
    double redshift = 0;
    char identification[100] = {0};
    char reference[100] = {0};
    std::size_t identification_length = 0; // bytes kept, NUL bytes included
    std::size_t reference_length = 0;
};

int reference_shift(reference_input& in, char stop);
void reference_read_query(reference_input& in, reference_query& query);
void reference_read_style(reference_input& in, reference_style& style);
// Reads entries until the first field fails; `complete` counts the entries read before
// any divergence.
void reference_read_catalogue(reference_input& in, std::vector<reference_record>& records,
                              std::size_t& complete);

// The checks of a query form read as `bounds` (right ascensions, then declinations with
// their signs already moved into `sign`), `signs` and `redshifts`: appends the messages
// they write to `written` and returns 1 for a valid query, 0 otherwise.
int reference_check_query(const arc bounds[4], const char signs[2], const double redshifts[2],
                          std::string& written);

#endif
