// answer_query: one query answered by the program's stages against the held catalogues.
#ifndef GALSIFT_SERVER_QUERY_RUN_H
#define GALSIFT_SERVER_QUERY_RUN_H

#include "cgi/site.h"
#include "vo/result_formats.h"
#include "web/form.h"

#include <string>

std::string answer_query(const site& here, const query_fields& fields, const result_choice& choice,
                         int row_limit, const std::string& data);
std::string answer_cone_query(const site& here, const std::string& query, std::size_t row_limit);

#endif
