// One epoch's catalogue store as an SQLite table: an eponymous virtual table over a
// catalogue_store, read only, whose position constraints go through the store's index.
//
// Its columns, in order (store_columns below):
//   entry        INTEGER  the entry's place in the catalogue, from 1
//   ra, dec      REAL     degrees, as the cone search computes them (position_of)
//   ra_hms       TEXT     right ascension as the results page writes it
//   dec_dms      TEXT     declination likewise
//   z            REAL     redshift
//   id           TEXT     the galaxy's name, as the downloads write it
//   reference    TEXT     the reference of the redshift, likewise
//   cone_ra, cone_dec, cone_radius   HIDDEN: a circle, degrees
// A NaN (a field the catalogue leaves unreadable) is NULL.
//
// A scan whose three hidden columns are each constrained with "=" (the values may come
// from another table of a join) reads only the entries within that circle, through the
// index, in catalogue order: the circle must hold every entry the query can select, and
// the query keeps its own exact test. A scan without them reads every entry in the
// store's order. Several circles may be given (each column constrained as often); the
// smallest is read. A plan that could not hand the circle to the table is refused, so
// that SQLite never compares the hidden columns itself.
#ifndef GALSIFT_TAP_STORE_TABLE_H
#define GALSIFT_TAP_STORE_TABLE_H

#include <string>

struct catalogue_store;
struct sqlite3;

// The columns of a store table, as declared.
enum store_column {
    store_entry,
    store_ra,
    store_dec,
    store_ra_hms,
    store_dec_dms,
    store_z,
    store_id,
    store_reference,
    store_cone_ra, // the hidden columns
    store_cone_dec,
    store_cone_radius,
};
const int store_visible_columns = 8;

// Registers on `db` the table `name` (in the main database) over `store`, which must
// outlive the connection. A null `store` makes a table whose every scan fails with
// `unreadable` as its message (the catalogue cannot be read now). Returns SQLITE_OK or
// SQLite's code of the failure.
int register_store_table(sqlite3* db, const std::string& name, const catalogue_store* store,
                         const std::string& unreadable);

#endif
