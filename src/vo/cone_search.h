// The site's Simple Cone Search: a request's RA, DEC and SR (decimal degrees, J2000) and
// optional VERB, answered with a VOTable of the J2000 catalogue's entries in the cone.
//
// Errors are VOTables too (put_votable_error), sent with HTTP status 200. Parameter names
// are matched without regard to case; other parameters are ignored, as the protocol asks.
#ifndef GALSIFT_VO_CONE_SEARCH_H
#define GALSIFT_VO_CONE_SEARCH_H

#include "vo/cone.h"
#include "vo/text_sink.h"

#include <cstddef>
#include <string>

struct cone_request {
    cone where;   // centre and radius, degrees
    int verb = 2; // 1: name and position; 2: also redshift, reference, distance;
                  // 3: also the position as written
};

// The widest radius answered, degrees: the whole sky.
const double largest_radius = 180;

bool read_cone_request(const std::string& query, cone_request& request, std::string& why);
void answer_cone(const std::string& query, const catalogue_store& store, std::size_t row_limit,
                 text_sink& out);

#endif
