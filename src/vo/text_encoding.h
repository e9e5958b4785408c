// Catalogue texts as the downloads carry them: valid UTF-8, escaped for XML or quoted for
// CSV.
//
// A catalogue's texts are bytes, kept as written (up to 99 of them). The downloads declare
// UTF-8, so a byte that does not belong to a well-formed UTF-8 sequence (a Latin-1 letter,
// a sequence cut by the 99-byte limit), and a character that XML 1.0 cannot hold at all
// (controls other than tab, line feed and carriage return; U+FFFE, U+FFFF), each become
// U+FFFD, the replacement character. Everything else passes unchanged.
//
// A spreadsheet that opens a CSV file takes a cell that starts with "=", "+", "-" or "@",
// a tab or a carriage return (after any leading spaces) as a formula, quoted or not, and a
// formula can fetch addresses or run commands. spreadsheet_text puts an apostrophe before
// such a text, the usual mark of a cell that is text: the spreadsheet shows it and computes
// nothing. The CSV download does this to its text columns only; the VOTable, which no
// spreadsheet evaluates, keeps the texts as they are.
#ifndef GALSIFT_VO_TEXT_ENCODING_H
#define GALSIFT_VO_TEXT_ENCODING_H

#include <string>

std::string utf8_cleaned(const char* text);
std::string xml_escaped(const std::string& text);
std::string csv_field(const std::string& text);
std::string spreadsheet_text(const std::string& text);

#endif
