// Cutting an ADQL query into tokens.
#include "tap/adql_lexer.h"

#include <cassert>
#include <cstdint>

// Letters, digits and the characters that begin an operator, in ASCII only: ADQL allows
// nothing else outside string literals and delimited identifiers.
static bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
static bool is_hex_digit(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
static bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Whether `text` is `word`, ASCII case ignored; `word` is written in upper case.
bool same_word(const std::string& text, const char* word) {
    std::size_t n = 0;
    for (; word[n]; n++) {
        if (n == text.size())
            return false;
        char c = text[n];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != word[n])
            return false;
    }
    return n == text.size();
}

// Sets `error` to the standard sentence about `token`: where it is and what is wrong.
void set_error(adql_error& error, const adql_token& token, const std::string& what) {
    error.line = token.line;
    error.column = token.column;
    error.token = token.text;
    std::string where = " at line " + std::to_string(token.line) + ", column " +
                        std::to_string(token.column) + ": ";
    if (token.kind == token_kind::end)
        error.message = "Encountered the end of the query" + where + what;
    else
        error.message = "Encountered \"" + token.text + "\"" + where + what;
}

namespace {

// The length in bytes of the UTF-8 character that `lead` begins; 1 for a byte that
// begins none (ASCII, or a stray continuation byte, which counts as a character).
int sequence_length(char lead) {
    unsigned char c = static_cast<unsigned char>(lead);
    return c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// A reading position in the query, with its line and column.
struct cursor {
    const std::string& text;
    std::size_t at = 0;
    int line = 1;
    int column = 1;
    int continuations = 0; // bytes still to come of the UTF-8 character begun

    bool done() const { return at >= text.size(); }
    char peek(std::size_t ahead = 0) const {
        return at + ahead < text.size() ? text[at + ahead] : '\0';
    }
    // Moves past one byte; the continuation bytes of a UTF-8 character take no column of
    // their own.
    void step() {
        assert(!done());
        char c = text[at++];
        bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (continuation && continuations > 0) {
            continuations--;
            return;
        }
        continuations = continuation ? 0 : sequence_length(c) - 1;
        if (c == '\n') {
            line++;
            column = 1;
        } else {
            column++;
        }
    }
    // Moves past the whole character at `at`.
    void step_character() {
        step();
        while (continuations > 0 && !done() && (static_cast<unsigned char>(peek()) & 0xC0) == 0x80)
            step();
    }
};

// The messages of the lexer, each defined once.
const char unexpected[] = "unexpected character";
const char open_string[] = "a string literal is not closed";
const char open_name[] = "a delimited identifier is not closed";
const char empty_name[] = "a delimited identifier is empty";
const char bad_number[] = "malformed number";
const char big_number[] = "the hexadecimal number is too large";

// Reads a literal quoted with `quote` (' or "), the quote written twice standing for
// itself. Returns false when the query ends (or a NUL byte comes) before the closing
// quote: SQLite would take a NUL for the end of the statement.
bool read_quoted(cursor& in, char quote, adql_token& token) {
    in.step();
    while (!in.done() && in.peek() != '\0') {
        if (in.peek() == quote) {
            if (in.peek(1) != quote) {
                in.step();
                return true;
            }
            in.step();
        }
        token.value += in.peek();
        in.step();
    }
    return false;
}

// Moves past letters, digits, "_" and "." that follow a number at once, to report them
// with it as one malformed number. Returns whether there were any.
bool swallow_word(cursor& in) {
    bool any = false;
    while (is_letter(in.peek()) || is_digit(in.peek()) || in.peek() == '_' || in.peek() == '.') {
        in.step();
        any = true;
    }
    return any;
}

// Reads 0x and hexadecimal digits into an integer token holding the value in decimal.
// Returns the message of what is wrong, or nullptr.
const char* read_hex(cursor& in, adql_token& token) {
    in.step();
    in.step();
    std::uint64_t value = 0;
    bool digits = false, overflow = false;
    while (is_hex_digit(in.peek())) {
        char c = in.peek();
        unsigned digit = is_digit(c) ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        overflow = overflow || value > (UINT64_C(0x7FFFFFFFFFFFFFFF) - digit) / 16;
        value = value * 16 + digit;
        digits = true;
        in.step();
    }
    token.kind = token_kind::integer;
    token.value = std::to_string(value);
    if (!digits || swallow_word(in))
        return bad_number;
    return overflow ? big_number : nullptr;
}

// Reads an unsigned number: digits [. [digits]] | . digits, then an optional exponent
// E [sign] digits. Returns the message of what is wrong, or nullptr.
const char* read_number(cursor& in, adql_token& token) {
    bool digits = false;
    token.kind = token_kind::integer;
    while (is_digit(in.peek())) {
        in.step();
        digits = true;
    }
    if (in.peek() == '.') {
        token.kind = token_kind::real;
        in.step();
        while (is_digit(in.peek())) {
            in.step();
            digits = true;
        }
    }
    if (!digits)
        return bad_number;
    if (in.peek() == 'e' || in.peek() == 'E') {
        token.kind = token_kind::real;
        in.step();
        if (in.peek() == '+' || in.peek() == '-')
            in.step();
        if (!is_digit(in.peek()))
            return bad_number;
        while (is_digit(in.peek()))
            in.step();
    }
    return swallow_word(in) ? bad_number : nullptr;
}

// Reads an operator of one or two characters; false when none begins here.
bool read_symbol(cursor& in) {
    static const char* const pairs[] = {"<>", "!=", "<=", ">=", "||"};
    for (const char* pair : pairs)
        if (in.peek() == pair[0] && in.peek(1) == pair[1]) {
            in.step();
            in.step();
            return true;
        }
    char c = in.peek();
    for (const char* s = "=<>+-*/(),.;"; *s; s++)
        if (c == *s) {
            in.step();
            return true;
        }
    return false;
}

// Moves past spaces and "--" comments.
void skip_blanks(cursor& in) {
    while (!in.done()) {
        if (is_space(in.peek())) {
            in.step();
        } else if (in.peek() == '-' && in.peek(1) == '-') {
            while (!in.done() && in.peek() != '\n')
                in.step();
        } else {
            return;
        }
    }
}

} // namespace

// Cuts `query` into `tokens`, the last of kind end. Returns true, or false with `error`
// set (an unknown character, an unclosed literal, a malformed number); `tokens` then
// ends with the offending one.
bool read_tokens(const std::string& query, std::vector<adql_token>& tokens, adql_error& error) {
    cursor in{query};
    tokens.clear();
    for (;;) {
        skip_blanks(in);
        adql_token token;
        token.line = in.line;
        token.column = in.column;
        std::size_t begin = in.at;
        const char* wrong = nullptr;
        char c = in.peek();
        if (in.done()) {
            tokens.push_back(token);
            return true;
        } else if (is_letter(c)) {
            token.kind = token_kind::word;
            while (is_letter(in.peek()) || is_digit(in.peek()) || in.peek() == '_')
                in.step();
        } else if (c == '0' && (in.peek(1) == 'x' || in.peek(1) == 'X')) {
            wrong = read_hex(in, token);
        } else if (is_digit(c) || (c == '.' && is_digit(in.peek(1)))) {
            wrong = read_number(in, token);
        } else if (c == '\'') {
            token.kind = token_kind::string;
            wrong = read_quoted(in, '\'', token) ? nullptr : open_string;
        } else if (c == '"') {
            token.kind = token_kind::delimited;
            wrong = !read_quoted(in, '"', token) ? open_name
                    : token.value.empty()        ? empty_name
                                                 : nullptr;
        } else if (read_symbol(in)) {
            token.kind = token_kind::symbol;
        } else {
            token.kind = token_kind::symbol;
            in.step_character();
            wrong = unexpected;
        }
        token.text = query.substr(begin, in.at - begin);
        if (token.kind != token_kind::string && token.kind != token_kind::delimited &&
            !(token.kind == token_kind::integer && token.text.size() > 1 &&
              (token.text[1] == 'x' || token.text[1] == 'X')))
            token.value = token.text;
        tokens.push_back(token);
        if (wrong) {
            set_error(error, token, wrong);
            return false;
        }
    }
}
