// The site's capabilities (VOSI 1.1): what a client reads to learn how to call the cone
// search, and where the other self-describing documents are. Each capability is an XML
// fragment, a <capability> element, so that the registry record carries the very same
// ones, and another service (the table service under /tap) can build its own list from
// these functions and its own fragments. A fragment uses the prefixes vr, vs, cs, tr and xsi
// (declared by the documents' roots, xml_parts.h) and declares any other itself.
#ifndef GALSIFT_VO_VOSI_CAPABILITIES_H
#define GALSIFT_VO_VOSI_CAPABILITIES_H

#include "vo/sky_position.h"
#include "web/coordinate_frame.h"

#include <cstddef>
#include <string>
#include <vector>

struct catalogue_store;

// What the cone search's capability says.
struct cone_capability_facts {
    std::string site;                              // the site's address (site_address.h)
    std::size_t max_records = 0;                   // rows at most in an answer; 0: no limit
    coordinate_frame frame = frame_of_epoch(2000); // the frame of its positions
    bool has_test = false;                         // `test` holds a real entry's position
    sky_position test;                             // the centre of the test query
};

// The radius of the test query, degrees: the entry at its centre is always found.
const double test_radius = 0.01;

std::string interface_element(const char* type, const std::string& url, const char* use,
                              const char* version, const char* result_type);
std::string document_capability(const char* standard_id, const char* type, const std::string& url,
                                const char* use, const char* version);

bool test_position(const catalogue_store& store, sky_position& at);
std::string cone_capability(const cone_capability_facts& facts);
std::string vosi_capabilities(const std::string& service);
std::string coverage_capability(const std::string& site);
std::string capabilities_document(const std::vector<std::string>& capabilities);

#endif
