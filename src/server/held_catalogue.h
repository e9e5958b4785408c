// The catalogues the query server holds: each epoch's list, read once by the program's own
// stages and kept while its file stays the same.
//
// Only the one thread that runs the stages may call these (they use the program-wide
// state: DB_First, total_number, the current record pool).
#ifndef GALSIFT_SERVER_HELD_CATALOGUE_H
#define GALSIFT_SERVER_HELD_CATALOGUE_H

#include <cstddef>

int hold_catalogue(const char* name);
void release_held_catalogues();
std::size_t held_bytes();

#endif
