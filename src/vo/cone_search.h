// The site's Simple Cone Search: a request's RA, DEC and SR (decimal degrees, in the frame
// of the J2000 catalogue) and optional VERB, MAXREC and RESPONSEFORMAT, answered with a
// VOTable (or CSV) of the J2000 catalogue's entries in the cone.
//
// Errors are VOTables (put_votable_error), sent with HTTP status 200. Parameter names are
// matched without regard to case; other parameters are ignored, as the protocol asks.
// MAXREC and RESPONSEFORMAT follow the IVOA's conventions for data access services:
// MAXREC=0 gives the table's fields and an OVERFLOW status; an answer cut at MAXREC or at
// the site's limit says OVERFLOW before its table, where clients look for the status.
#ifndef GALSIFT_VO_CONE_SEARCH_H
#define GALSIFT_VO_CONE_SEARCH_H

#include "vo/cone.h"
#include "vo/text_sink.h"
#include "web/coordinate_frame.h"

#include <cstddef>
#include <string>

enum cone_format { cone_votable, cone_csv };

struct cone_request {
    cone where;                        // centre and radius, degrees
    int verb = 2;                      // 1: name and position; 2: also redshift, reference,
                                       // distance; 3: also the position as written
    long long maxrec = -1;             // MAXREC: at most this many rows; -1 when not given
    cone_format format = cone_votable; // RESPONSEFORMAT
    const char* content_type = "";     // of the answer, as the request named its format
};

// What the site sets for its cone search.
struct cone_service {
    std::size_t row_limit = 0;                     // GALSIFT_CONE_ROWS: rows at most, whatever
                                                   // MAXREC asks; 0: no limit
    coordinate_frame frame = frame_of_epoch(2000); // the frame of CG2000.dat
};

// The widest radius answered, degrees: the whole sky.
const double largest_radius = 180;

bool read_cone_request(const std::string& query, cone_request& request, std::string& why);
void write_cone_answer(const cone_request& request, const catalogue_store& store,
                       const cone_service& service, text_sink& out);
void answer_cone(const std::string& query, const catalogue_store& store,
                 const cone_service& service, text_sink& out);

#endif
