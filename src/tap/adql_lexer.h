// The tokens of an ADQL query: words (keywords and regular identifiers), delimited
// identifiers, string literals, numbers and the operators, each with where it begins.
#ifndef GALSIFT_TAP_ADQL_LEXER_H
#define GALSIFT_TAP_ADQL_LEXER_H

#include "tap/adql.h"

#include <string>
#include <vector>

enum class token_kind {
    end,       // after the last token; text ""
    word,      // a keyword or a regular identifier: a letter, then letters, digits, "_"
    delimited, // "a delimited identifier"; value without the quotes, "" read as "
    string,    // 'a string literal'; value without the quotes, '' read as '
    integer,   // digits; a hexadecimal 0x.. literal has its value in decimal digits
    real,      // digits with a point or an exponent: 1.5, .5, 5., 1e-3
    symbol,    // = <> != < > <= >= + - * / || ( ) , . ;
};

struct adql_token {
    token_kind kind = token_kind::end;
    std::string text;  // as written in the query
    std::string value; // see token_kind; for the others, text again
    int line = 1;      // 1-based
    int column = 1;    // 1-based, in characters
};

bool read_tokens(const std::string& query, std::vector<adql_token>& tokens, adql_error& error);
void set_error(adql_error& error, const adql_token& token, const std::string& what);
bool same_word(const std::string& text, const char* word);

#endif
