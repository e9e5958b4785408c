// Writing a query's rows as the answer: a VOTable 1.3 (TABLEDATA) as DALI describes it,
// CSV with a header line, or TSV.
//
// A column that is a published table's own column carries that column's unit, UCD and
// description; a catalogue's position refers to the coordinate system of its epoch (FK5
// J2000, FK4 B1950). Numbers are written in the shortest form that reads back the same
// double; NULL is an empty cell.
#ifndef GALSIFT_TAP_RESULT_WRITER_H
#define GALSIFT_TAP_RESULT_WRITER_H

#include "tap/adql.h"
#include "tap/published_tables.h"
#include "tap/tap_request.h"
#include "vo/text_sink.h"

#include <string>
#include <vector>

struct sqlite3_stmt;

struct result_field {
    published_column column; // name (unique in the answer), datatype, unit, ...
    int epoch = 0;           // the frame of a catalogue's position, else 0
};

// The FIELDs of the answer's `columns` (as translate_adql describes them), `tables` being
// those the translation read (tap_schema's order).
std::vector<result_field> describe_result(const std::vector<result_column>& columns,
                                          const std::vector<published_table>& tables);

// Everything before the first row; `query` is the ADQL, echoed in a VOTable's INFO.
void put_result_head(text_sink& out, tap_format format, const std::vector<result_field>& fields,
                     const std::string& query);

// One row: the current row of `statement`, whose columns are `fields`.
void put_result_row(text_sink& out, tap_format format, const std::vector<result_field>& fields,
                    sqlite3_stmt* statement);

// Everything after the last row. `overflow`: more rows matched than were written;
// a non-empty `error` says why the rows stop early (a VOTable's last INFO).
void put_result_tail(text_sink& out, tap_format format, bool overflow, const std::string& error);

// A whole VOTable document that reports `message` with QUERY_STATUS ERROR.
void put_tap_error(text_sink& out, const std::string& message);

#endif
