// Texts, elements and times of the self-describing documents.
#include "vo/xml_parts.h"

#include "vo/text_encoding.h"

#include <ctime>

// `text` cleaned into UTF-8 (text_encoding.h) and escaped for XML.
std::string xml_text(const std::string& text) {
    return xml_escaped(utf8_cleaned(text.c_str()));
}

// Appends to `out` a line: `indent`, the element `name` holding `text` (cleaned and
// escaped), the line's end.
void put_element(std::string& out, const std::string& indent, const char* name,
                 const std::string& text) {
    out += indent + "<" + name + ">" + xml_text(text) + "</" + name + ">\n";
}

// `seconds` since 1970 as a UTC time stamp, "2024-05-01T12:00:00Z".
std::string utc_timestamp(long long seconds) {
    std::time_t at = static_cast<std::time_t>(seconds);
    std::tm parts;
    char text[32];
    if (!gmtime_r(&at, &parts) ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0)
        return "1970-01-01T00:00:00Z";
    return text;
}
