// Letter case of ASCII names: the parameters of the site's services (RA, MAXREC, LANG),
// table names, header names. Bytes other than the 26 letters stay as they are, whatever
// the locale.
#ifndef GALSIFT_WEB_ASCII_CASE_H
#define GALSIFT_WEB_ASCII_CASE_H

#include <string>

std::string ascii_upper(std::string text);
std::string ascii_lower(std::string text);
bool same_ascii_name(const std::string& one, const std::string& other);

#endif
