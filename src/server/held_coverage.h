// The coverage map of the held J2000 catalogue (coverage_map.h), computed once for each
// version of the catalogue and order, by the first request that needs it; requests that
// arrive meanwhile wait for it rather than compute it again. Each request gets a map that
// is never changed.
#ifndef GALSIFT_SERVER_HELD_COVERAGE_H
#define GALSIFT_SERVER_HELD_COVERAGE_H

#include "server/held_site.h"
#include "vo/coverage_map.h"

#include <memory>
#include <string>

struct held_coverage {
    coverage_map map;    // at the order asked for
    std::string summary; // the map in ASCII, at the deepest order that keeps it within
                         // summary_bytes (at least least_coverage_order): the registry
                         // record's
};

// The largest summary, bytes: registry records should stay within a few dozen kilobytes.
const std::size_t summary_bytes = 32000;

std::shared_ptr<const held_coverage>
coverage_of(const std::shared_ptr<const held_catalogue>& catalogue, int order);

#endif
