// sky_coords: one corner of the query box, a declination and a right ascension.
#ifndef GALSIFT_COORDS_SKY_COORDS_H
#define GALSIFT_COORDS_SKY_COORDS_H

#include "coords/arc.h"

struct sky_coords {
    arc declination; // degrees judged by absolute value
    arc ascension;   // hours, minutes, seconds of time

    int value_checker() const;
};

#endif
