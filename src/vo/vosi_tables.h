// The tables of the site's answers (VOSI 1.1): the cone search's answer and the download
// of a box query, each column with its unit, UCD, datatype and description. The same
// tableset goes into the registry record.
#ifndef GALSIFT_VO_VOSI_TABLES_H
#define GALSIFT_VO_VOSI_TABLES_H

#include "web/coordinate_frame.h"

#include <string>

std::string tableset_document(const coordinate_frame frames[2], bool with_columns);
std::string table_document(const std::string& name, const coordinate_frame frames[2]);
std::string tableset_element(const coordinate_frame frames[2]);

#endif
