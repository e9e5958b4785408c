// ADQL's LIKE and ILIKE as SQL functions adql_like(value, pattern) and
// adql_ilike(value, pattern): 1 when the value matches, 0 when not, NULL when either is.
//
// "%" matches any run of characters, "_" exactly one (a whole UTF-8 character); every
// other character matches itself. LIKE tells the case of letters apart (SQLite's own
// LIKE does not); ILIKE does not, for the ASCII letters: other letters match only as
// they are written.
#include "tap/sql_functions.h"

#include <sqlite3.h>

#include <cstddef>
#include <string>

namespace {

// The length in bytes of the UTF-8 character beginning with `lead` (1 for a stray byte).
std::size_t character_length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

char folded(char c, bool fold) {
    return fold && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether the character at text[t] is the pattern's character at pattern[p].
bool same_character(const std::string& text, std::size_t t, const std::string& pattern,
                    std::size_t p, bool fold) {
    std::size_t length = character_length(static_cast<unsigned char>(pattern[p]));
    if (t + length > text.size())
        return false;
    for (std::size_t n = 0; n < length && p + n < pattern.size(); n++)
        if (folded(text[t + n], fold) != folded(pattern[p + n], fold))
            return false;
    return true;
}

// Whether `text` matches `pattern`. After a "%" the match resumes one character further
// each time the rest fails: the time is at most the product of the two lengths.
bool matches(const std::string& text, const std::string& pattern, bool fold) {
    std::size_t t = 0, p = 0;
    std::size_t star = std::string::npos, resume = 0;
    while (t < text.size()) {
        std::size_t step = character_length(static_cast<unsigned char>(text[t]));
        if (p < pattern.size() && pattern[p] == '%') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '_' || same_character(text, t, pattern, p, fold))) {
            p += character_length(static_cast<unsigned char>(pattern[p]));
            t += step;
        } else if (star != std::string::npos) {
            p = star + 1;
            resume += character_length(static_cast<unsigned char>(text[resume]));
            t = resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        p++;
    return p >= pattern.size();
}

// adql_like or adql_ilike, as the user data (null or not) says.
void call_like(sqlite3_context* context, int, sqlite3_value** values) {
    if (sqlite3_value_type(values[0]) == SQLITE_NULL ||
        sqlite3_value_type(values[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    auto text_of = [](sqlite3_value* value) {
        const unsigned char* bytes = sqlite3_value_text(value);
        return std::string(reinterpret_cast<const char*>(bytes),
                           static_cast<std::size_t>(sqlite3_value_bytes(value)));
    };
    bool fold = sqlite3_user_data(context) != nullptr;
    sqlite3_result_int(context, matches(text_of(values[0]), text_of(values[1]), fold));
}

} // namespace

// Registers adql_like and adql_ilike on `db`.
int register_like_functions(sqlite3* db) {
    static int fold = 1;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int status =
        sqlite3_create_function(db, "adql_like", 2, flags, nullptr, call_like, nullptr, nullptr);
    if (status == SQLITE_OK)
        status =
            sqlite3_create_function(db, "adql_ilike", 2, flags, &fold, call_like, nullptr, nullptr);
    return status;
}
