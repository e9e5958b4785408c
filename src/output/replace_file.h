// replace_file: the calls that differ between the platforms. A page is written to a new
// file of its own beside the page and then moved over the page.
#ifndef GALSIFT_OUTPUT_REPLACE_FILE_H
#define GALSIFT_OUTPUT_REPLACE_FILE_H

#include <cstddef>
#include <cstdio>

// Room for a name made by create_new_file: its prefix (at most 48 bytes), six letters
// or digits and the NUL.
const std::size_t new_file_name_size = 56;

// Creates a new, empty file for writing, in text mode, named `prefix` followed by six
// letters or digits, and puts that name in `name`. The file is created only where no file,
// directory or link of that name exists, so nothing that was there before is opened,
// changed or followed. Returns the open file; nullptr (and `name` empty) when none can be
// created: the directory cannot be written, or every name tried was already taken.
std::FILE* create_new_file(const char* prefix, char (&name)[new_file_name_size]);

// Moves `from` to `to`, replacing `to` if it exists, in one step, so that a reader of `to`
// sees either the old file or the new one; a link at `to` is replaced, not followed.
// Returns true when moved; false when the move failed (`from` is then left as it was).
bool replace_file(const char* from, const char* to);

#endif
