// The values of an uploaded VOTable's cells: from a TABLEDATA cell's text, or from the
// bytes of a BINARY or BINARY2 stream (big-endian, as VOTable writes them).
#ifndef GALSIFT_TAP_VOTABLE_CELLS_H
#define GALSIFT_TAP_VOTABLE_CELLS_H

#include "tap/votable_reader.h"

#include <cstddef>
#include <string>

// Whether `datatype` is one of VOTable's.
bool known_datatype(const std::string& datatype);

// Whether a field holds one number or boolean (no array, no characters).
bool is_scalar_value(const upload_field& field);

// The cell of `text`, a TD's content. Returns false when it does not read as the field's
// datatype.
bool text_cell(const upload_field& field, const std::string& text, sql_cell& cell);

// Reads the cell of `field` at `at` (of `end`) in a BINARY stream, moving `at` past it.
// Returns false when the stream ends inside it.
bool binary_cell(const upload_field& field, const unsigned char*& at, const unsigned char* end,
                 sql_cell& cell);

// `text` decoded from base64 (white space ignored). Returns false for anything else.
bool base64_decode(const std::string& text, std::string& bytes);

#endif
