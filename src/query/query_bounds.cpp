// The program-wide query state as one value.
#include "query/query_bounds.h"

#include "flow/globals.h"

query_bounds program_query() {
    query_bounds query;
    query.epoch = epoch;
    query.minimal_ascension = minimal_ascension;
    query.maximal_ascension = maximal_ascension;
    query.minimal_declination = minimal_declination;
    query.maximal_declination = maximal_declination;
    query.min_redshift = min_redshift;
    query.max_redshift = max_redshift;
    return query;
}

void set_program_query(const query_bounds& query) {
    epoch = query.epoch;
    minimal_ascension = query.minimal_ascension;
    maximal_ascension = query.maximal_ascension;
    minimal_declination = query.minimal_declination;
    maximal_declination = query.maximal_declination;
    min_redshift = query.min_redshift;
    max_redshift = query.max_redshift;
}
