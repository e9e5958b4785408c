// Reading ADQL's value expressions and search conditions.
//
// One descent reads both: a parenthesis may hold either, and what it held is checked
// where it is used. From the loosest binding: OR, AND, NOT, the predicates (comparisons,
// BETWEEN, IN, LIKE, ILIKE, IS NULL), ||, + and -, * and /, a sign, and the primaries.
#include "tap/adql_parser.h"
#include "tap/adql_words.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <utility>

// The messages of the expression reader, each defined once.
namespace expression_messages {
const char expected_value[] = "expected a value";
const char expected_comparison[] =
    "expected a comparison (=, <>, <, >, <=, >=, BETWEEN, IN, LIKE, ILIKE or IS NULL)";
const char condition_as_value[] = "a condition stands where a value belongs";
const char value_as_condition[] = "a value stands where a condition belongs";
const char reserved[] = "a reserved word of ADQL; as a name it must be written in double "
                        "quotes";
const char too_deep[] = "the expression is nested too deeply";
const char too_many_parts[] = "a name has at most four parts";
const char subquery[] = "subqueries are not supported";
const char too_large[] = "the number is too large";
} // namespace expression_messages
namespace em = expression_messages;

// Whether `node` is a search condition rather than a value.
bool is_condition(const adql_node& node) {
    switch (node.kind) {
    case node_kind::compare:
    case node_kind::between:
    case node_kind::in_list:
    case node_kind::like:
    case node_kind::is_null:
    case node_kind::all_of:
    case node_kind::any_of:
    case node_kind::negation:
        return true;
    default:
        return false;
    }
}

// ---- Tokens ----

// Whether the token `ahead` of the next is the keyword `word` (written in upper case).
bool adql_parser::is_word(const char* word, std::size_t ahead) const {
    const adql_token& token = peek(ahead);
    return token.kind == token_kind::word && same_word(token.text, word);
}

// Whether the token `ahead` of the next is the operator `symbol`.
bool adql_parser::is_symbol(const char* symbol, std::size_t ahead) const {
    const adql_token& token = peek(ahead);
    return token.kind == token_kind::symbol && token.text == symbol;
}

// Takes the next token when it is `word`; returns whether it did.
bool adql_parser::take_word(const char* word) {
    if (!is_word(word))
        return false;
    at++;
    return true;
}

// Takes the next token when it is `symbol`; returns whether it did.
bool adql_parser::take_symbol(const char* symbol) {
    if (!is_symbol(symbol))
        return false;
    at++;
    return true;
}

// Takes `word`, or fails with "expected WORD" at the token found instead.
bool adql_parser::expect_word(const char* word) {
    return take_word(word) || fail_here(std::string("expected ") + word);
}

// Takes `symbol`, or fails with `expected "symbol"` at the token found instead.
bool adql_parser::expect_symbol(const char* symbol) {
    return take_symbol(symbol) || fail_here(std::string("expected \"") + symbol + "\"");
}

// Records the first fault found: `what` is wrong at `token`, of kind `code` (one of the
// results of translate_adql). Returns false, for the caller to return in turn.
bool adql_parser::fail(const adql_token& token, const std::string& what, int code) {
    if (result == adql_translated) {
        set_error(error, token, what);
        result = code;
    }
    return false;
}

// Sets `node`'s depth from its children's. Returns false when it is beyond max_depth.
bool adql_parser::finish(adql_node& node) {
    node.depth = 1;
    for (const adql_node& child : node.children)
        node.depth = std::max(node.depth, child.depth + 1);
    return node.depth <= max_depth || fail(node.token, em::too_deep, adql_unsupported);
}

// Checks that `node` is a value, not a condition; fails at its token otherwise.
bool adql_parser::require_value(const adql_node& node) {
    return !is_condition(node) || fail(node.token, em::condition_as_value, adql_syntax_error);
}

// Checks that `node` is a condition, not a value; fails at its token otherwise.
bool adql_parser::require_condition(const adql_node& node) {
    return is_condition(node) || fail(node.token, em::value_as_condition, adql_syntax_error);
}

// Reads an unsigned integer literal that fits a long long. `what` names it for the
// message when another token stands there.
bool adql_parser::unsigned_integer(long long& out, const char* what) {
    const adql_token& token = peek();
    if (token.kind != token_kind::integer)
        return fail_here(std::string("expected ") + what);
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(token.value.c_str(), &end, 10);
    if (errno == ERANGE || *end)
        return fail(token, em::too_large, adql_unsupported);
    at++;
    return true;
}

// ---- Names ----

// Reads an identifier: a regular one (not a reserved word), folded to lower case, or a
// delimited one as written. `what` names it for the message when another token stands.
bool adql_parser::name(adql_name& out, const char* what) {
    const adql_token& token = peek();
    if (token.kind == token_kind::word && is_reserved(token.text))
        return fail(token, em::reserved, adql_syntax_error);
    if (token.kind != token_kind::word && token.kind != token_kind::delimited)
        return fail_here(std::string("expected ") + what);
    out.token = token;
    out.delimited = token.kind == token_kind::delimited;
    out.text = token.value;
    if (!out.delimited)
        for (char& c : out.text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
    at++;
    return true;
}

// Reads a name of one to four parts joined by "." (catalog, schema, table, column).
bool adql_parser::name_chain(std::vector<adql_name>& out, const char* what) {
    out.clear();
    do {
        if (out.size() == 4)
            return fail(peek(), em::too_many_parts, adql_syntax_error);
        adql_name part;
        if (!name(part, what))
            return false;
        out.push_back(std::move(part));
    } while (!is_symbol("*", 1) && take_symbol("."));
    return true;
}

// ---- Conditions ----

// Reads a search condition. With `value_allowed` (inside parentheses) a lone value is
// taken too, and `out` tells which it was.
bool adql_parser::condition(adql_node& out, bool value_allowed) {
    return any_of(out, value_allowed);
}

// condition OR condition OR ...
bool adql_parser::any_of(adql_node& out, bool value_allowed) {
    adql_node first;
    if (!all_of(first, value_allowed))
        return false;
    if (!is_word("OR")) {
        out = std::move(first);
        return true;
    }
    if (!require_condition(first))
        return false;
    adql_node node;
    node.kind = node_kind::any_of;
    node.token = peek();
    node.children.push_back(std::move(first));
    while (take_word("OR")) {
        adql_node next;
        if (!all_of(next, false))
            return false;
        node.children.push_back(std::move(next));
    }
    out = std::move(node);
    return finish(out);
}

// condition AND condition AND ...
bool adql_parser::all_of(adql_node& out, bool value_allowed) {
    adql_node first;
    if (!negation(first, value_allowed))
        return false;
    if (!is_word("AND")) {
        out = std::move(first);
        return true;
    }
    if (!require_condition(first))
        return false;
    adql_node node;
    node.kind = node_kind::all_of;
    node.token = peek();
    node.children.push_back(std::move(first));
    while (take_word("AND")) {
        adql_node next;
        if (!negation(next, false))
            return false;
        node.children.push_back(std::move(next));
    }
    out = std::move(node);
    return finish(out);
}

// [NOT] predicate
bool adql_parser::negation(adql_node& out, bool value_allowed) {
    if (!is_word("NOT"))
        return predicate(out, value_allowed);
    adql_node node;
    node.kind = node_kind::negation;
    node.token = peek();
    at++;
    node.children.emplace_back();
    if (!predicate(node.children.back(), false))
        return false;
    out = std::move(node);
    return finish(out);
}

// A value and what it is compared with; a value alone only with `value_allowed`, or when
// it is itself a parenthesized condition.
bool adql_parser::predicate(adql_node& out, bool value_allowed) {
    static const char* const comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
    adql_node left;
    if (!value(left))
        return false;
    adql_node node;
    node.token = peek();
    const adql_token& next = peek();
    bool compared = next.kind == token_kind::symbol &&
                    std::any_of(std::begin(comparisons), std::end(comparisons),
                                [&](const char* c) { return next.text == c; });
    node.negated = is_word("NOT") && (is_word("BETWEEN", 1) || is_word("IN", 1) ||
                                      is_word("LIKE", 1) || is_word("ILIKE", 1));
    if (node.negated)
        at++;
    if (compared || is_word("BETWEEN") || is_word("IN") || is_word("LIKE") || is_word("ILIKE") ||
        is_word("IS")) {
        if (!require_value(left))
            return false;
    } else if (value_allowed || is_condition(left)) {
        out = std::move(left);
        return true;
    } else {
        return fail_here(em::expected_comparison);
    }
    node.children.push_back(std::move(left));
    auto operand = [&]() {
        node.children.emplace_back();
        return value(node.children.back()) && require_value(node.children.back());
    };
    if (compared) {
        node.kind = node_kind::compare;
        node.text = next.text == "!=" ? "<>" : next.text;
        at++;
        if (!operand())
            return false;
    } else if (take_word("BETWEEN")) {
        node.kind = node_kind::between;
        if (!operand() || !expect_word("AND") || !operand())
            return false;
    } else if (take_word("IN")) {
        node.kind = node_kind::in_list;
        if (is_symbol("(") && is_word("SELECT", 1))
            return fail(peek(1), em::subquery, adql_unsupported);
        if (!expect_symbol("("))
            return false;
        do {
            if (!operand())
                return false;
        } while (take_symbol(","));
        if (!expect_symbol(")"))
            return false;
    } else if (is_word("LIKE") || is_word("ILIKE")) {
        node.kind = node_kind::like;
        node.text = is_word("LIKE") ? "LIKE" : "ILIKE";
        at++;
        if (!operand())
            return false;
    } else {
        node.kind = node_kind::is_null;
        at++; // IS
        node.negated = take_word("NOT");
        if (!expect_word("NULL"))
            return false;
    }
    out = std::move(node);
    return finish(out);
}

// ---- Values ----

// Reads a value expression into `out`; false with the fault recorded.
bool adql_parser::value(adql_node& out) {
    return concatenation(out);
}

// Reads `operand` {op operand}, op one of `ops`, into a left-deep tree of `kind`.
template <typename Operand>
static bool binary_chain(adql_parser& parser, adql_node& out, node_kind kind,
                         std::initializer_list<const char*> ops, Operand operand) {
    if (!operand(out))
        return false;
    for (;;) {
        const char* op = nullptr;
        for (const char* o : ops)
            if (parser.is_symbol(o))
                op = o;
        if (!op)
            return true;
        adql_node node;
        node.kind = kind;
        node.text = op;
        node.token = parser.peek();
        parser.at++;
        node.children.push_back(std::move(out));
        node.children.emplace_back();
        if (!parser.require_value(node.children[0]) || !operand(node.children[1]) ||
            !parser.require_value(node.children[1]))
            return false;
        out = std::move(node);
        if (!parser.finish(out))
            return false;
    }
}

// value || value || ...
bool adql_parser::concatenation(adql_node& out) {
    return binary_chain(*this, out, node_kind::concat, {"||"},
                        [this](adql_node& node) { return sum(node); });
}

// term + term - ...
bool adql_parser::sum(adql_node& out) {
    return binary_chain(*this, out, node_kind::arithmetic, {"+", "-"},
                        [this](adql_node& node) { return product(node); });
}

// factor * factor / ...
bool adql_parser::product(adql_node& out) {
    return binary_chain(*this, out, node_kind::arithmetic, {"*", "/"},
                        [this](adql_node& node) { return factor(node); });
}

// [+|-] primary
bool adql_parser::factor(adql_node& out) {
    if (!is_symbol("+") && !is_symbol("-"))
        return primary(out);
    adql_node node;
    node.kind = node_kind::negate;
    node.token = peek();
    bool minus = is_symbol("-");
    at++;
    node.children.emplace_back();
    if (!primary(node.children[0]) || !require_value(node.children[0]))
        return false;
    out = minus ? std::move(node) : std::move(node.children[0]);
    return finish(out);
}

// A literal, NULL, a column, a function call, or a parenthesized value or condition.
bool adql_parser::primary(adql_node& out) {
    const adql_token& token = peek();
    out.token = token;
    switch (token.kind) {
    case token_kind::integer:
    case token_kind::real:
        out.kind = node_kind::number;
        out.text = token.value;
        out.real = token.kind == token_kind::real;
        at++;
        return true;
    case token_kind::string:
        out.kind = node_kind::string;
        out.text = token.value;
        at++;
        return true;
    case token_kind::delimited:
        out.kind = node_kind::column;
        return name_chain(out.names, "a column");
    case token_kind::word:
        if (is_word("NULL")) {
            out.kind = node_kind::null_value;
            at++;
            return true;
        }
        if (is_symbol("(", 1))
            return call(out);
        out.kind = node_kind::column;
        return name_chain(out.names, "a column");
    default:
        break;
    }
    if (!is_symbol("("))
        return fail_here(em::expected_value);
    if (is_word("SELECT", 1))
        return fail(peek(1), em::subquery, adql_unsupported);
    if (++nesting > max_nesting)
        return fail(token, em::too_deep, adql_unsupported);
    at++;
    if (!condition(out, true) || !expect_symbol(")"))
        return false;
    nesting--;
    return true;
}
