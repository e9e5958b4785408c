// The SQL functions that translated statements call beyond SQLite's own, registered on a
// connection: the mathematical functions (math_functions.cpp), LIKE and ILIKE
// (like_functions.cpp) and the geometry (geometry_functions.cpp). Each returns SQLITE_OK
// or SQLite's code of the first registration that failed.
//
// Every one gives NULL when an argument is NULL, and a number that is not one (the
// logarithm of -1, the square root of -1) comes out as NULL too, as SQLite stores no NaN.
#ifndef GALSIFT_TAP_SQL_FUNCTIONS_H
#define GALSIFT_TAP_SQL_FUNCTIONS_H

struct sqlite3;

int register_math_functions(sqlite3* db);
int register_like_functions(sqlite3* db);
int register_geometry_functions(sqlite3* db);

// Whether `name` (any case) is a function a translated statement may call: SQLite's own
// that translations emit, and the ones registered here.
bool translated_function(const char* name);

#endif
