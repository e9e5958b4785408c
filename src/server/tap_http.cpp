// Reading the service's requests and building its plain responses.
#include "server/tap_http.h"

#include "server/held_site.h"
#include "server/request_site.h"
#include "tap/result_writer.h"
#include "web/query_string.h"

#include <cstdlib>
#include <cstring>

// Never destroyed: the job runners use it until the process ends.
tap_service& tap = *new tap_service;

namespace {

const char* status_text(int status) {
    switch (status) {
    case 200:
        return "200 OK";
    case 303:
        return "303 See Other";
    case 400:
        return "400 Bad Request";
    case 404:
        return "404 Not Found";
    case 405:
        return "405 Method Not Allowed";
    case 413:
        return "413 Payload Too Large";
    case 503:
        return "503 Service Unavailable";
    default:
        return "500 Internal Server Error";
    }
}

// The pairs of a query string, names in upper case, every one kept.
void read_query_pairs(const std::string& query,
                      std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const std::string& pair : query_pairs(query)) {
        std::size_t equals = pair.find('=');
        std::string name, value;
        if (percent_decode(pair.substr(0, equals), name) &&
            (equals == std::string::npos || percent_decode(pair.substr(equals + 1), value)))
            pairs.emplace_back(ascii_upper(name), value);
    }
}

} // namespace

bool read_tap_http(FCGX_Request& request, tap_http_request& into, std::string& refusal) {
    into.method = request_variable(request, "REQUEST_METHOD");
    std::string uri = request_variable(request, "REQUEST_URI");
    std::string path = uri.substr(0, uri.find('?'));
    std::string decoded;
    into.path = percent_decode(path, decoded) ? decoded.substr(4) : path.substr(4); // past "/tap"
    into.base = site_of(request, path) + "/tap";
    std::string query = request_variable(request, "QUERY_STRING");
    read_query_pairs(query, into.query_pairs);
    if (!add_form_pairs(query, into.parameters)) {
        refusal = tap_error_response(400, "the query string is not well formed");
        return false;
    }
    if (into.method != "POST")
        return true;
    std::string length_text = request_variable(request, "CONTENT_LENGTH");
    char* end = nullptr;
    unsigned long long length = std::strtoull(length_text.c_str(), &end, 10);
    // Room for the uploads and for the fields and boundaries around them.
    const unsigned long long longest = tap.settings.upload_limit + (1 << 20);
    if (length > longest) {
        refusal = tap_error_response(413, "the request is larger than this service takes: its "
                                          "uploads may have at most " +
                                              std::to_string(tap.settings.upload_limit) + " bytes");
        return false;
    }
    std::string body(static_cast<std::size_t>(length), '\0');
    if (length &&
        FCGX_GetStr(&body[0], static_cast<int>(length), request.in) != static_cast<int>(length)) {
        refusal = tap_error_response(400, "the request's body ended early");
        return false;
    }
    std::string type = request_variable(request, "CONTENT_TYPE");
    std::string boundary = multipart_boundary(type);
    if (!boundary.empty()) {
        std::string why;
        if (!read_multipart(body, boundary, into.parts, why)) {
            refusal = tap_error_response(400, why);
            return false;
        }
        for (const form_part& part : into.parts)
            if (!part.file)
                into.parameters.set(part.name, part.content);
        return true;
    }
    if (!add_form_pairs(body, into.parameters)) {
        refusal = tap_error_response(400, "the form data is not well formed");
        return false;
    }
    read_query_pairs(body, into.query_pairs);
    return true;
}

std::string document_response(const std::string& type, const std::string& body) {
    return "Status: 200 OK\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string see_other(const std::string& location) {
    return "Status: 303 See Other\r\nLocation: " + location +
           "\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Length: 0\r\n\r\n";
}

std::string text_response(int status, const std::string& text) {
    return std::string("Status: ") + status_text(status) +
           "\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Length: " +
           std::to_string(text.size() + 1) + "\r\n\r\n" + text + "\n";
}

std::string tap_error_response(int status, const std::string& message) {
    text_sink document;
    put_tap_error(document, message);
    return std::string("Status: ") + status_text(status) +
           "\r\nContent-Type: application/x-votable+xml\r\nContent-Length: " +
           std::to_string(document.held.size()) + "\r\n\r\n" + document.held;
}

void catalogues_of(const site_state& state, tap_catalogue catalogues[2]) {
    const int epochs[2] = {2000, 1950};
    for (int n = 0; n < 2; n++) {
        const held_catalogue* held = state.catalogue_of(epochs[n]);
        catalogues[n].epoch = epochs[n];
        catalogues[n].store = held && held->readable ? &held->store : nullptr;
        if (!held)
            catalogues[n].unreadable =
                std::string(epochs[n] == 2000 ? "CG2000.dat" : "CG1950.dat") +
                " is still being read: ask again in a moment";
        else if (!held->readable)
            catalogues[n].unreadable =
                std::string(held->name) + " cannot be read now: " + held->messages;
    }
}
