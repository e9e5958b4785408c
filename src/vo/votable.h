// Writing VOTable 1.3 documents: one RESOURCE holding one TABLE of catalogue entries, in
// TABLEDATA, or a document that reports an error.
//
// Positions refer to a COOSYS of the catalogue's frame (coordinate_frame.h). Texts are
// cleaned and escaped (text_encoding.h).
#ifndef GALSIFT_VO_VOTABLE_H
#define GALSIFT_VO_VOTABLE_H

#include "catalogue/entry.h"
#include "vo/table_columns.h"
#include "vo/text_sink.h"
#include "web/coordinate_frame.h"

#include <cstddef>
#include <string>

struct publisher_texts;

inline const char votable_content_type[] = "text/xml;content=x-votable";

void put_votable_head(text_sink& out, const coordinate_frame& frame, const std::string& description,
                      const column* columns, std::size_t count, const std::string& overflow);
void put_votable_row(text_sink& out, const column* columns, std::size_t count,
                     const catalogue_entry& entry, double distance);
void put_votable_tail(text_sink& out);
void put_votable_error(text_sink& out, const std::string& message);

std::string selection_description(const publisher_texts& publisher);
void put_selection_votable(text_sink& out, entry_reader rows, const coordinate_frame& frame,
                           const publisher_texts& publisher);

#endif
