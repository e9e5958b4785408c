// The availability document.
#include "vo/vosi_availability.h"

#include "vo/xml_parts.h"

// The document saying whether the site is `available`, since `up_since` (seconds since
// 1970) when it is, with a note for each line of `notes`.
std::string availability_document(bool available, long long up_since, const std::string& notes) {
    std::string out = xml_declaration;
    out += "<vosi:availability xmlns:vosi=\"http://www.ivoa.net/xml/VOSIAvailability/v1.0\">\n";
    put_element(out, "  ", "vosi:available", available ? "true" : "false");
    if (available)
        put_element(out, "  ", "vosi:upSince", utc_timestamp(up_since));
    std::size_t start = 0;
    while (start < notes.size()) {
        std::size_t end = notes.find('\n', start);
        if (end == std::string::npos)
            end = notes.size();
        if (end > start)
            put_element(out, "  ", "vosi:note", notes.substr(start, end - start));
        start = end + 1;
    }
    return out + "</vosi:availability>\n";
}
