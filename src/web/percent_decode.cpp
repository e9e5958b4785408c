// Undoing the URL encoding of a query string.
#include "web/percent_decode.h"

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
