// The whole responses (a "Status:" header, the other headers, a blank line, the body) of
// the cone search and of the downloads, for a front end to send as they stand.
#ifndef GALSIFT_VO_TABLE_RESPONSES_H
#define GALSIFT_VO_TABLE_RESPONSES_H

#include "vo/cone_search.h"
#include "vo/result_formats.h"

#include <cstddef>
#include <string>

struct catalogue_store;

std::string table_head(const char* content_type, const char* file_name);
std::string cone_response(const std::string& query, const catalogue_store& store,
                          const cone_service& service);
std::string cone_error_response(const std::string& message);
std::string selection_response(result_format format, entry_reader rows, int epoch,
                               const publisher_texts& publisher);

#endif
