// Reading a multipart/form-data body.
#include "tap/multipart.h"

#include "web/ascii_case.h"

namespace {

// The value of `key` among the "; key=value" parameters of a header's value, unquoted;
// `found` says whether it was there.
std::string header_parameter(const std::string& value, const std::string& key, bool& found) {
    found = false;
    std::size_t at = 0;
    while ((at = value.find(';', at)) != std::string::npos) {
        at++;
        while (at < value.size() && (value[at] == ' ' || value[at] == '\t'))
            at++;
        std::size_t equals = value.find('=', at);
        if (equals == std::string::npos)
            break;
        if (ascii_lower(value.substr(at, equals - at)) != key)
            continue;
        found = true;
        std::size_t start = equals + 1;
        if (start < value.size() && value[start] == '"') {
            std::string text;
            for (std::size_t n = start + 1; n < value.size() && value[n] != '"'; n++)
                text += value[n] == '\\' && n + 1 < value.size() ? value[++n] : value[n];
            return text;
        }
        std::size_t end = value.find(';', start);
        std::string text = value.substr(start, end == std::string::npos ? end : end - start);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.pop_back();
        return text;
    }
    return std::string();
}

// Reads the headers of a part (up to the blank line at `at`) for its name and filename;
// moves `at` to its content.
bool read_part_headers(const std::string& body, std::size_t& at, form_part& part) {
    std::size_t end = body.find("\r\n\r\n", at);
    if (end == std::string::npos)
        return false;
    std::string headers = body.substr(at, end - at);
    at = end + 4;
    std::size_t line_start = 0;
    while (line_start <= headers.size()) {
        std::size_t line_end = headers.find("\r\n", line_start);
        std::string line = headers.substr(
            line_start, line_end == std::string::npos ? std::string::npos : line_end - line_start);
        std::size_t colon = line.find(':');
        if (colon != std::string::npos &&
            ascii_lower(line.substr(0, colon)) == "content-disposition") {
            bool found;
            part.name = header_parameter(line, "name", found);
            header_parameter(line, "filename", part.file);
            if (!found)
                return false;
        }
        if (line_end == std::string::npos)
            break;
        line_start = line_end + 2;
    }
    return !part.name.empty();
}

} // namespace

std::string multipart_boundary(const std::string& type) {
    if (ascii_lower(type.substr(0, 19)) != "multipart/form-data")
        return std::string();
    bool found;
    return header_parameter(type, "boundary", found);
}

bool read_multipart(const std::string& body, const std::string& boundary,
                    std::vector<form_part>& parts, std::string& why) {
    parts.clear();
    const std::string delimiter = "--" + boundary;
    std::size_t at = body.find(delimiter);
    if (boundary.empty() || at == std::string::npos ||
        (at != 0 && body.compare(at - 2, 2, "\r\n"))) {
        why = "the multipart/form-data body does not start with its boundary";
        return false;
    }
    at += delimiter.size();
    const std::string separator = "\r\n" + delimiter;
    while (true) {
        if (body.compare(at, 2, "--") == 0)
            return true; // the closing delimiter
        std::size_t line_end = body.find("\r\n", at);
        if (line_end == std::string::npos) {
            why = "the multipart/form-data body ends without its closing boundary";
            return false;
        }
        at = line_end + 2; // past transport padding
        form_part part;
        if (!read_part_headers(body, at, part)) {
            why = "a part of the multipart/form-data body has no name";
            return false;
        }
        std::size_t end = body.find(separator, at);
        if (end == std::string::npos) {
            why = "the multipart/form-data body ends without its closing boundary";
            return false;
        }
        part.content = body.substr(at, end - at);
        parts.push_back(std::move(part));
        at = end + separator.size();
    }
}
