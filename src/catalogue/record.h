// record: one catalogue entry, with its link in the catalogue list and its link in the
// selection chain.
#ifndef GALSIFT_CATALOGUE_RECORD_H
#define GALSIFT_CATALOGUE_RECORD_H

#include "catalogue/string.h"
#include "coords/arc.h"

struct record {
    arc declination;                 // in the file the degrees carry the sign; after
                                     // Correct_record_list the sign is in `sign`
    arc ascension;                   // hours, minutes, seconds of time; sign stays +1
    double redshift = 0;             // spectroscopic redshift z
    string reference;                // bibliographic reference of the measurement
    string identification;           // the galaxy's name
    record* next = nullptr;          // next record of the catalogue list
    record* next_selected = nullptr; // next record of the selection chain
};

#endif
