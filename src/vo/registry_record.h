// The site's resource record for the IVOA Registry: an ri:Resource document describing
// the site as a vs:CatalogService, with its title, identifier, curation and content from
// the publisher's settings, its capabilities, its coverage and its tables. A publishing
// registry harvests it; a publisher may also upload it by hand.
#ifndef GALSIFT_VO_REGISTRY_RECORD_H
#define GALSIFT_VO_REGISTRY_RECORD_H

#include "vo/registry_settings.h"
#include "vo/vosi_tables.h"

#include <string>
#include <vector>

// What the record says beyond the publisher's settings.
struct record_facts {
    std::string site;                      // the site's address (site_address.h)
    std::vector<std::string> capabilities; // <capability> fragments (vosi_capabilities.h)
    std::string spatial;                   // the coverage as an ASCII MOC; empty: none
    std::vector<described_schema> tables;  // the tableset (vosi_tables.h)
    long long created = 0;                 // when the resource was first published,
                                           // seconds since 1970
    long long updated = 0;                 // when the record last changed
};

std::string record_document(const registry_settings& settings, const record_facts& facts);

#endif
