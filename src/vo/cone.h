// cone_search: the catalogue entries within a radius of a position, in catalogue order.
#ifndef GALSIFT_VO_CONE_H
#define GALSIFT_VO_CONE_H

#include "vo/sky_position.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct catalogue_entry;
struct catalogue_store;

struct cone {
    sky_position centre; // degrees, in the catalogue's own coordinates
    double radius = 0;   // degrees, at least 0
};

struct cone_match {
    std::uint32_t row = 0; // a row of the store
    double distance = 0;   // from the centre, degrees
};

struct cone_answer {
    std::vector<cone_match> matches; // in catalogue order
    bool cut = false;                // more entries matched than the limit let through
};

bool inside_cone(const cone& where, const sky_position& position, double& distance);
bool inside_cone(const cone& where, const catalogue_entry& entry, double& distance);
cone_answer cone_search(const catalogue_store& store, const cone& where, std::size_t limit);

#endif
