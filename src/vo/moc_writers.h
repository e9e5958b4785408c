// A coverage map (coverage_map.h) written as IVOA MOC 2.0 sets it out: as a FITS file,
// a binary table of NUNIQ numbers with the MOC keywords, or as the ASCII form,
// "order/cell cell-cell ... order/".
#ifndef GALSIFT_VO_MOC_WRITERS_H
#define GALSIFT_VO_MOC_WRITERS_H

#include "vo/coverage_map.h"

#include <string>

inline const char moc_fits_content_type[] = "application/fits";
inline const char moc_ascii_content_type[] = "text/plain; charset=utf-8";

std::string moc_ascii(const coverage_map& map);
std::string moc_fits(const coverage_map& map, const std::string& identifier,
                     const std::string& tool);

#endif
