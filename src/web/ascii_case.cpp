// Letter case of ASCII names.
#include "web/ascii_case.h"

// `text` with a to z made A to Z.
std::string ascii_upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// `text` with A to Z made a to z.
std::string ascii_lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Whether `one` and `other` are the same but for the case of their letters.
bool same_ascii_name(const std::string& one, const std::string& other) {
    return ascii_upper(one) == ascii_upper(other);
}
