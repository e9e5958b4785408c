// Writing the download of a box query as CSV (RFC 4180): one header line, then one line
// per entry, CR LF ends, fields quoted where they must be.
//
// CSV has no place for metadata that every reader accepts (TOPCAT and astropy both take a
// "#" line for data or a header), so the header line carries it in the column names: each
// position column names its equinox and unit, "ra_J2000_deg", "dec_B1950_dms" (J2000 is
// FK5, B1950 is FK4). Texts are cleaned into UTF-8, and a catalogue text that a spreadsheet
// would take for a formula gets an apostrophe before it (text_encoding.h).
#ifndef GALSIFT_VO_CSV_TABLE_H
#define GALSIFT_VO_CSV_TABLE_H

#include "vo/text_sink.h"

#include <string>

#include "catalogue/entry.h"

inline const char csv_content_type[] = "text/csv; charset=utf-8; header=present";

std::string csv_header(int epoch);
void put_selection_csv(text_sink& out, entry_reader rows, int epoch);

#endif
