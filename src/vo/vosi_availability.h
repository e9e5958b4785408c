// The site's availability (VOSI 1.1): whether it answers now, since when, and notes on
// what is amiss.
#ifndef GALSIFT_VO_VOSI_AVAILABILITY_H
#define GALSIFT_VO_VOSI_AVAILABILITY_H

#include <string>

std::string availability_document(bool available, long long up_since, const std::string& notes);

#endif
