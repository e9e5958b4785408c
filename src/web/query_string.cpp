// Reading a query string: its pairs, and the URL encoding of their names and values undone.
#include "web/query_string.h"

// The pairs of `query` between its "&" separators, in their order, still encoded; empty
// ones (from "&&", or a leading or trailing "&") are left out.
std::vector<std::string> query_pairs(const std::string& query) {
    std::vector<std::string> pairs;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos)
            end = query.size();
        if (end > start)
            pairs.push_back(query.substr(start, end - start));
        start = end + 1;
    }
    return pairs;
}

// The value of a hexadecimal digit, or -1 for any other character.
static int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes one name or value of a query string into `out`: "+" becomes a space, "%XY"
// the byte of the two hexadecimal digits XY, every other byte stays. Returns true; false
// for a "%" not followed by two hexadecimal digits (then `out` holds the part before it).
bool percent_decode(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] != '%') {
            out += text[i];
        } else {
            if (i + 2 >= text.size())
                return false;
            int high = hex_value(text[i + 1]), low = hex_value(text[i + 2]);
            if (high < 0 || low < 0)
                return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}
