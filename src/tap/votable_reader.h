// Reading a table a query brings along: the first TABLE of a VOTable document, its DATA
// in TABLEDATA, or in BINARY or BINARY2 as a base64 STREAM in the document (libexpat).
//
// Each cell becomes one SQLite value: an integer for a scalar boolean (1, 0), short,
// int, long or unsignedByte; a real for a scalar float or double (NaN is NULL); a text
// for characters, and for an array or a complex number its values separated by spaces,
// as DALI writes arrays. A value equal to its FIELD's VALUES null, an empty TD and a
// BINARY2 null flag are NULL.
#ifndef GALSIFT_TAP_VOTABLE_READER_H
#define GALSIFT_TAP_VOTABLE_READER_H

#include "tap/sql_table.h"

#include <string>
#include <vector>

struct upload_field {
    std::string name;      // the FIELD's name
    std::string datatype;  // its datatype
    std::string arraysize; // "" for a scalar
    std::string xtype, unit, ucd, description;
    std::string null_value; // VALUES null, "" when none
};

struct upload_table {
    std::vector<upload_field> fields;
    std::vector<std::vector<sql_cell>> rows; // a cell per field
};

// Reads the first TABLE of `document` into `table`. Returns true, or false with what is
// wrong in `why` (not XML, no TABLE or FIELD, a datatype VOTable does not know, data
// that does not read as its FIELD says, a STREAM that is not in the document, FITS).
bool read_votable(const std::string& document, upload_table& table, std::string& why);

#endif
