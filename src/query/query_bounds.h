// query_bounds: one query's epoch and its three intervals, as the form gives them and the
// selection compares them. The console program keeps its query in the program-wide state;
// a process that answers many queries at once keeps each in one of these.
#ifndef GALSIFT_QUERY_QUERY_BOUNDS_H
#define GALSIFT_QUERY_QUERY_BOUNDS_H

#include "coords/arc.h"

struct input_file;

struct query_bounds {
    int epoch = 2000;      // epoch of the coordinates, names the catalogue
    arc minimal_ascension; // right-ascension bounds, sign stays +1
    arc maximal_ascension;
    arc minimal_declination; // declination bounds, degrees a magnitude, sign in `sign`
    arc maximal_declination;
    double min_redshift = 0; // redshift bounds
    double max_redshift = 0;
};

// The program-wide query state as one value, and back.
query_bounds program_query();
void set_program_query(const query_bounds& query);

// Reads the seven entries of a query form from `form` into `query` (each entry that does
// not convert keeps its value), closes `form`, and checks the query, writing a message for
// every problem found. Returns query_valid, or query_invalid (query_form.h) when a check
// failed or the reading failed part-way.
int read_query_form(input_file& form, query_bounds& query);

#endif
