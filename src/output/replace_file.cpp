// Platform file: moving a finished page over the old one.
//
// Everything else in the program is the standard library alone; this is the one place
// that asks the operating system for something it does not offer alike everywhere.
#include "output/replace_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#endif

// Moves `from` to `to`, replacing `to` if it exists, in one step, so that a reader of
// `to` sees either the old file or the new one. Returns false when the move failed.
bool replace_file(const char* from, const char* to) {
#ifdef _WIN32
    // rename() on Windows refuses to replace an existing file.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from, to) == 0;
#endif
}
