// The reserved words of ADQL: SQL-92's and ADQL's own. A reserved word is never a name;
// a table or column so called is written as a delimited identifier ("size").
#ifndef GALSIFT_TAP_ADQL_WORDS_H
#define GALSIFT_TAP_ADQL_WORDS_H

#include <string>

bool is_reserved(const std::string& word);

#endif
