// cone_search: the catalogue entries within a radius of a position, in catalogue order.
#ifndef GALSIFT_VO_CONE_H
#define GALSIFT_VO_CONE_H

#include "vo/sky_position.h"

#include <cstddef>
#include <vector>

struct record;

struct cone {
    sky_position centre; // degrees, in the catalogue's own coordinates
    double radius = 0;   // degrees, at least 0
};

struct cone_match {
    const record* entry = nullptr; // an entry of the catalogue list
    double distance = 0;           // from the centre, degrees
};

struct cone_answer {
    std::vector<cone_match> matches; // in catalogue order
    bool cut = false;                // more entries matched than the limit let through
};

bool inside_cone(const cone& where, const sky_position& position, double& distance);
bool inside_cone(const cone& where, const record& entry, double& distance);
cone_answer cone_search(const record* first, const cone& where, std::size_t limit);

#endif
