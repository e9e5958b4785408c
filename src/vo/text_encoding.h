// Catalogue texts as the downloads carry them: valid UTF-8, escaped for XML or quoted for
// CSV.
//
// A catalogue's texts are bytes, kept as written (up to 99 of them). The downloads declare
// UTF-8, so a byte that does not belong to a well-formed UTF-8 sequence (a Latin-1 letter,
// a sequence cut by the 99-byte limit), and a character that XML 1.0 cannot hold at all
// (controls other than tab, line feed and carriage return; U+FFFE, U+FFFF), each become
// U+FFFD, the replacement character. Everything else passes unchanged.
#ifndef GALSIFT_VO_TEXT_ENCODING_H
#define GALSIFT_VO_TEXT_ENCODING_H

#include <string>

std::string utf8_cleaned(const char* text);
std::string xml_escaped(const std::string& text);
std::string csv_field(const std::string& text);

#endif
