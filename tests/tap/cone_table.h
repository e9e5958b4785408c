// A small catalogue as a virtual table that keeps the spatial index's contract (see
// src/tap/adql.h): columns ra, dec, z, name, entry, then the HIDDEN cone_ra, cone_dec,
// cone_radius. Its "index" is a scan that passes over every row farther than the radius
// from the centre, so that a query answers the same with or without it; it counts how
// often it was used and how many rows it handed over.
//
// Its planning is the contract's: with "=" on all three hidden columns usable it uses
// them; offered them but not usable, it refuses the plan (SQLITE_CONSTRAINT), so that
// SQLite puts the table where they are; with none, it scans every row.
#ifndef GALSIFT_TESTS_TAP_CONE_TABLE_H
#define GALSIFT_TESTS_TAP_CONE_TABLE_H

#include <sqlite3.h>

#include <string>
#include <vector>

struct catalogue_row {
    double ra, dec, z;
    std::string name;
    long long entry;
};

struct cone_table_use {
    int searches = 0;   // scans through the index
    int full_scans = 0; // scans of every row
    long long rows = 0; // rows handed over
};

// Creates the virtual table `name` over `rows` (kept by the caller while `db` is open).
bool create_cone_table(sqlite3* db, const char* name, const std::vector<catalogue_row>* rows,
                       cone_table_use* use);

#endif
