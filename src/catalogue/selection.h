// result_list_generator: chaining the records that answer the query; inside_box, the test
// every selection of a box makes, whoever holds the entries.
#ifndef GALSIFT_CATALOGUE_SELECTION_H
#define GALSIFT_CATALOGUE_SELECTION_H

struct query_bounds;
struct record;

// A query's bounds as the comparisons use them: arc::value() of each angle, in seconds.
struct query_box {
    double min_declination, max_declination, min_ascension, max_ascension;
    double min_redshift, max_redshift;
};

query_box box_of(const query_bounds& query);

// Whether an entry of these values lies inside all three intervals of `box`, bounds
// included. A NaN is inside no interval.
inline bool inside_box(const query_box& box, double declination, double ascension,
                       double redshift) {
    return box.min_declination <= declination && declination <= box.max_declination &&
           box.min_ascension <= ascension && ascension <= box.max_ascension &&
           box.min_redshift <= redshift && redshift <= box.max_redshift;
}

bool inside_query(const record& entry);
int result_list_generator();

#endif
