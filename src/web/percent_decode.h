// Undoing the URL encoding of a query string's names and values
// (application/x-www-form-urlencoded): "+" for a space, "%XY" for the byte XY.
#ifndef GALSIFT_WEB_PERCENT_DECODE_H
#define GALSIFT_WEB_PERCENT_DECODE_H

#include <string>

bool percent_decode(const std::string& text, std::string& out);

#endif
