// answer_query: one query answered by the program's stages against the held catalogues.
#ifndef GALSIFT_SERVER_QUERY_RUN_H
#define GALSIFT_SERVER_QUERY_RUN_H

#include "cgi/site.h"
#include "web/form.h"

#include <string>

std::string answer_query(const site& here, const query_fields& fields);

#endif
