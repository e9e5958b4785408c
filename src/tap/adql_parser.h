// The recursive-descent reader of ADQL: the query's clauses (adql_query.cpp) and its
// expressions and conditions (adql_expressions.cpp, adql_calls.cpp) share this state.
#ifndef GALSIFT_TAP_ADQL_PARSER_H
#define GALSIFT_TAP_ADQL_PARSER_H

#include "tap/adql_ast.h"

#include <cstddef>
#include <string>
#include <vector>

// How deeply parentheses and function calls may nest, and how deep an expression's tree
// may grow: SQLite's own parser gives up on a statement nested some 40 calls deep.
const int max_nesting = 24;
const int max_depth = 200;

struct adql_parser {
    std::vector<adql_token> tokens; // the query's, ending with one of kind end
    std::size_t at = 0;             // the next token
    int nesting = 0;                // parentheses and calls open around `at`
    int result = 0;                 // adql_translated, or what the error is
    adql_error error;

    const adql_token& peek(std::size_t ahead = 0) const {
        std::size_t n = at + ahead;
        return tokens[n < tokens.size() ? n : tokens.size() - 1];
    }
    bool is_word(const char* word, std::size_t ahead = 0) const;
    bool is_symbol(const char* symbol, std::size_t ahead = 0) const;
    bool take_word(const char* word);
    bool take_symbol(const char* symbol);
    bool expect_word(const char* word);
    bool expect_symbol(const char* symbol);
    bool fail(const adql_token& token, const std::string& what, int code);
    bool fail_here(const std::string& what) { return fail(peek(), what, adql_syntax_error); }

    // adql_expressions.cpp
    bool condition(adql_node& out, bool value_allowed = false);
    bool value(adql_node& out);
    bool name(adql_name& out, const char* what);
    bool name_chain(std::vector<adql_name>& out, const char* what);
    bool finish(adql_node& node);
    bool require_value(const adql_node& node);
    bool require_condition(const adql_node& node);
    bool unsigned_integer(long long& out, const char* what);

    // adql_calls.cpp
    bool call(adql_node& out);
    bool cast(adql_node& out);

  private:
    bool any_of(adql_node& out, bool value_allowed);
    bool all_of(adql_node& out, bool value_allowed);
    bool negation(adql_node& out, bool value_allowed);
    bool predicate(adql_node& out, bool value_allowed);
    bool concatenation(adql_node& out);
    bool sum(adql_node& out);
    bool product(adql_node& out);
    bool factor(adql_node& out);
    bool primary(adql_node& out);
};

bool parse_adql(const std::string& text, adql_query& query, adql_parser& parser);

#endif
