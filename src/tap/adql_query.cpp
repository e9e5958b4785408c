// Reading an ADQL query: SELECT [ALL|DISTINCT] [TOP n] ... FROM ... [WHERE ...]
// [GROUP BY ...] [HAVING ...] [ORDER BY ...] [OFFSET n].
#include "tap/adql_parser.h"
#include "tap/adql_words.h"

#include <utility>

namespace {

// The messages of the query reader, each defined once.
const char not_supported[] = "this part of ADQL is not supported";
const char subquery[] = "subqueries are not supported";
const char too_many_parts[] = "a table name has at most three parts";
const char trailing[] = "expected the end of the query";

// Whether the token at `ahead` may begin an alias written without AS.
bool alias_ahead(const adql_parser& parser) {
    const adql_token& token = parser.peek();
    return token.kind == token_kind::delimited ||
           (token.kind == token_kind::word && !is_reserved(token.text));
}

// [AS] alias, when one follows.
bool optional_alias(adql_parser& parser, std::optional<adql_name>& alias) {
    if (!parser.take_word("AS") && !alias_ahead(parser))
        return true;
    alias.emplace();
    return parser.name(*alias, "an alias");
}

// "*", "q.*" or a value [AS alias].
bool select_item(adql_parser& parser, adql_select_item& item) {
    item.token = parser.peek();
    std::size_t ahead = 0;
    while ((parser.peek(ahead).kind == token_kind::word ||
            parser.peek(ahead).kind == token_kind::delimited) &&
           parser.is_symbol(".", ahead + 1))
        ahead += 2;
    if (parser.take_symbol("*") || (ahead > 0 && parser.is_symbol("*", ahead))) {
        item.star = true;
        return ahead == 0 || (parser.name_chain(item.qualifier, "a table") &&
                              parser.expect_symbol(".") && parser.expect_symbol("*"));
    }
    return parser.value(item.value) && parser.require_value(item.value) &&
           optional_alias(parser, item.alias);
}

bool table_reference(adql_parser& parser, adql_from& out);

// A table [[AS] alias], or a join in parentheses.
bool table_primary(adql_parser& parser, adql_from& out) {
    out.token = parser.peek();
    if (parser.is_symbol("(")) {
        if (parser.is_word("SELECT", 1))
            return parser.fail(parser.peek(1), subquery, adql_unsupported);
        if (++parser.nesting > max_nesting)
            return parser.fail(out.token, "the joins are nested too deeply", adql_unsupported);
        parser.at++;
        if (!table_reference(parser, out) || !parser.expect_symbol(")"))
            return false;
        parser.nesting--;
        return true;
    }
    if (!parser.name_chain(out.table, "a table"))
        return false;
    if (out.table.size() > 3)
        return parser.fail(out.table[0].token, too_many_parts, adql_syntax_error);
    return optional_alias(parser, out.alias);
}

// Whether a join begins at the next token.
bool join_ahead(const adql_parser& parser) {
    for (const char* word : {"NATURAL", "INNER", "LEFT", "RIGHT", "FULL", "JOIN"})
        if (parser.is_word(word))
            return true;
    return false;
}

// table_primary { [NATURAL] [INNER | LEFT|RIGHT|FULL [OUTER]] JOIN table_primary
//                 [ON condition | USING (columns)] }
bool table_reference(adql_parser& parser, adql_from& out) {
    if (!table_primary(parser, out))
        return false;
    while (join_ahead(parser)) {
        adql_from join;
        join.join = true;
        join.token = parser.peek();
        join.natural = parser.take_word("NATURAL");
        if (parser.take_word("LEFT"))
            join.kind = join_kind::left;
        else if (parser.take_word("RIGHT"))
            join.kind = join_kind::right;
        else if (parser.take_word("FULL"))
            join.kind = join_kind::full;
        else
            parser.take_word("INNER");
        if (join.kind != join_kind::inner)
            parser.take_word("OUTER");
        if (!parser.expect_word("JOIN"))
            return false;
        join.sides.push_back(std::move(out));
        join.sides.emplace_back();
        if (!table_primary(parser, join.sides[1]))
            return false;
        if (!join.natural && parser.take_word("ON")) {
            join.condition.emplace();
            if (!parser.condition(*join.condition) || !parser.require_condition(*join.condition))
                return false;
        } else if (!join.natural && parser.take_word("USING")) {
            if (!parser.expect_symbol("("))
                return false;
            do {
                join.using_columns.emplace_back();
                if (!parser.name(join.using_columns.back(), "a column"))
                    return false;
            } while (parser.take_symbol(","));
            if (!parser.expect_symbol(")"))
                return false;
        }
        out = std::move(join);
    }
    return true;
}

// SELECT [ALL | DISTINCT] [TOP n] and the select list; WITH is refused.
bool select_clause(adql_parser& parser, adql_query& query) {
    if (parser.is_word("WITH"))
        return parser.fail(parser.peek(), not_supported, adql_unsupported);
    if (!parser.expect_word("SELECT"))
        return false;
    query.distinct = parser.take_word("DISTINCT");
    if (!query.distinct)
        parser.take_word("ALL");
    if (parser.take_word("TOP") && !parser.unsigned_integer(query.top, "a number of rows"))
        return false;
    do {
        query.select.emplace_back();
        if (!select_item(parser, query.select.back()))
            return false;
    } while (parser.take_symbol(","));
    return true;
}

// FROM and its comma-separated tables and joins.
bool from_clause(adql_parser& parser, adql_query& query) {
    if (!parser.expect_word("FROM"))
        return false;
    do {
        query.from.emplace_back();
        if (!table_reference(parser, query.from.back()))
            return false;
    } while (parser.take_symbol(","));
    return true;
}

// WHERE, GROUP BY, HAVING, ORDER BY and OFFSET, each when present.
bool later_clauses(adql_parser& parser, adql_query& query) {
    if (parser.take_word("WHERE")) {
        query.where.emplace();
        if (!parser.condition(*query.where) || !parser.require_condition(*query.where))
            return false;
    }
    if (parser.take_word("GROUP")) {
        if (!parser.expect_word("BY"))
            return false;
        do {
            query.group_by.emplace_back();
            if (!parser.value(query.group_by.back()) ||
                !parser.require_value(query.group_by.back()))
                return false;
        } while (parser.take_symbol(","));
    }
    if (parser.take_word("HAVING")) {
        query.having.emplace();
        if (!parser.condition(*query.having) || !parser.require_condition(*query.having))
            return false;
    }
    for (const char* word : {"UNION", "EXCEPT", "INTERSECT"})
        if (parser.is_word(word))
            return parser.fail(parser.peek(), not_supported, adql_unsupported);
    if (parser.take_word("ORDER")) {
        if (!parser.expect_word("BY"))
            return false;
        do {
            query.order_by.emplace_back();
            adql_order_item& item = query.order_by.back();
            if (!parser.value(item.value) || !parser.require_value(item.value))
                return false;
            item.descending = parser.take_word("DESC");
            if (!item.descending)
                parser.take_word("ASC");
        } while (parser.take_symbol(","));
    }
    if (parser.take_word("OFFSET") && !parser.unsigned_integer(query.offset, "a number of rows"))
        return false;
    return true;
}

} // namespace

// Reads `text` into `query`. Returns true, or false with parser.result and parser.error
// telling what is wrong and where.
bool parse_adql(const std::string& text, adql_query& query, adql_parser& parser) {
    if (!read_tokens(text, parser.tokens, parser.error)) {
        parser.result = adql_syntax_error;
        return false;
    }
    parser.at = 0;
    if (!select_clause(parser, query) || !from_clause(parser, query) ||
        !later_clauses(parser, query))
        return false;
    parser.take_symbol(";");
    if (parser.peek().kind != token_kind::end)
        return parser.fail_here(trailing);
    return true;
}
