// The columns of the tables the site hands out (cone search answers, downloads of a box
// query), and the text of each cell.
//
// Numbers are written in the shortest form that reads back as the same double, so that a
// reader gets the very values the selection compared; angles as written are the page's own
// "hh:mm:s" and "-dd:mm:s" texts (seconds to six significant digits); catalogue texts come
// as written without the spaces around them, cleaned into UTF-8 (text_encoding.h), not yet
// escaped.
#ifndef GALSIFT_VO_TABLE_COLUMNS_H
#define GALSIFT_VO_TABLE_COLUMNS_H

#include <cstddef>
#include <string>

struct catalogue_entry;

enum cell_kind {
    cell_identification,   // the galaxy's name
    cell_ascension,        // right ascension, degrees
    cell_declination,      // declination, degrees
    cell_ascension_text,   // right ascension as the page writes it, h:m:s
    cell_declination_text, // declination as the page writes it, [-]d:m:s
    cell_redshift,         // spectroscopic redshift
    cell_reference,        // bibliographic reference
    cell_distance,         // distance from a cone's centre, degrees
};

struct column {
    cell_kind kind;
    const char* name;        // FIELD name, and CSV name of a column that is no position
    const char* ucd;         // unified content descriptor
    const char* unit;        // VOTable unit; null for none
    const char* axis;        // a position's axis, "ra" or "dec", for its CSV name; else null
    const char* csv_unit;    // a position's unit in its CSV name: "deg", "hms", "dms"
    const char* description; // one line for the FIELD's DESCRIPTION
};

// Whether a column holds text (VOTable char) rather than a double.
bool is_text(cell_kind kind);
// Whether a column holds a position (its FIELD refers to the coordinate system).
bool is_position(cell_kind kind);

std::string number_text(double value);
std::string cell_text(cell_kind kind, const catalogue_entry& entry, double distance);

// The columns of a download of a box query, in order.
extern const column selection_columns[7];
const std::size_t selection_column_count = 7;

// The columns of a cone search's answer, most verbose first.
extern const column cone_columns[8];
const std::size_t cone_column_count = 8;

#endif
