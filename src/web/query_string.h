// Reading a query string (application/x-www-form-urlencoded): its "&"-separated
// name=value pairs, and the names and values with "+" for a space and "%XY" for the byte XY.
#ifndef GALSIFT_WEB_QUERY_STRING_H
#define GALSIFT_WEB_QUERY_STRING_H

#include <string>
#include <vector>

std::vector<std::string> query_pairs(const std::string& query);
bool percent_decode(const std::string& text, std::string& out);

#endif
