// catalogue_check: what galsift will make of a catalogue file, and where it goes wrong.
//
// The file is read with galsift's own reader, operation for operation as the catalogue
// stage reads it, so the entries counted and the place where reading stops are the ones
// galsift sees. Each finding is tied to the line of the file where it lies.
#ifndef GALSIFT_TOOLS_CATALOGUE_CHECK_H
#define GALSIFT_TOOLS_CATALOGUE_CHECK_H

#include <cstddef>
#include <cstdio>
#include <vector>

// What can be wrong. The first five end the reading: galsift ignores the rest of the file.
// Up to text_cut, galsift reads something other than the file says: these are errors.
// The warnings from beyond_pole on are read as they stand, but are seldom meant.
enum class finding {
    stop_byte_order_mark, // a byte-order mark where an entry should start
    stop_comment,         // a comment line ("#", "%", ";", "!" or "/" first)
    stop_header,          // the file starts with a line that is not an entry
    stop_tenth_field,     // text after an entry's ninth "$" that is not a number
    stop_not_a_number,    // an entry's first field is not a number
    unterminated,         // the file ends inside an entry
    stop_not_found,       // no "$" within the reader's limit after a number
    not_a_number,         // a numeric field that does not convert: galsift takes 0
    text_after_number,    // text between a number and its "$", ignored
    runs_over_lines,      // the entry's nine "$" span lines: a "$" is missing
    shares_line,          // an entry read from after another's ninth "$" on one line
    text_cut,             // a text longer than galsift keeps
    beyond_pole,          // warning: |declination| > 90 degrees
    not_finite,           // warning: nan or inf
    out_of_range,         // warning: hours >= 24, minutes or seconds >= 60, negative fields
    negative_redshift,    // warning: a redshift below 0
    duplicate_position,   // warning: an entry at the very position of an earlier one
    no_entries,           // warning: nothing in the file is an entry
};

// Whether `what` is a warning: galsift reads the file there as it stands.
inline bool is_warning(finding what) {
    return what >= finding::beyond_pole;
}

// One finding: where, what, and in which field (1 to 9; 0 for the entry or the file).
struct check_note {
    std::size_t line;
    finding what;
    int field;
    std::size_t earlier_line = 0; // a duplicate position's earlier entry
};

struct check_report {
    std::size_t entries = 0;       // entries galsift reads
    std::size_t lines = 0;         // lines of the file
    std::size_t stop_line = 0;     // where reading stopped early; 0 when it read to the end
    std::vector<check_note> notes; // by line, then by field
};

// Checks the catalogue held in `size` bytes at `data`. Returns true with `report` filled;
// false when there is no memory for the reader's copy of the bytes.
bool check_catalogue(const char* data, std::size_t size, check_report& report);

// Writes the findings, one "NAME:LINE: text" line each ("NAME:LINE: warning: text" for a
// warning), then one summary line, to `out`. Returns the exit status: 0 when every
// finding is a warning (or there is none), 1 when there are errors.
int write_report(const check_report& report, const char* name, std::FILE* out);

// Writes a warning to `out` when the two epochs' files of the folder `folder` hold
// different numbers of entries. Returns whether they hold the same number.
bool write_pair_report(const check_report& j2000, const check_report& b1950, const char* folder,
                       std::FILE* out);

#endif
