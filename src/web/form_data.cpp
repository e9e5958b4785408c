// Reading the form data: the query string of a GET, the body of a POST.
#include "web/form_data.h"

#include "web/form.h"

#include <cstdlib>
#include <cstring>

// Reads the form data of `request` into `data` (a HEAD's as a GET's: its answer is that of
// the GET without the body). Returns false (with a reason in `why`) for another method, another
// content type, or data without a length or over form_limit.
bool read_form_data(const request_reader& request, std::string& data, std::string& why) {
    auto variable = [&](const char* name) { return request.variable(request.context, name); };
    const char* method = variable("REQUEST_METHOD");
    if (method && (std::strcmp(method, "GET") == 0 || std::strcmp(method, "HEAD") == 0)) {
        const char* query = variable("QUERY_STRING");
        data = query ? query : "";
        return true;
    }
    if (!method || std::strcmp(method, "POST") != 0) {
        why = "only GET, HEAD and POST are answered";
        return false;
    }
    const char* type = variable("CONTENT_TYPE");
    if (!type || std::strncmp(type, "application/x-www-form-urlencoded", 33) != 0) {
        why = "the form must be sent as application/x-www-form-urlencoded";
        return false;
    }
    const char* length_text = variable("CONTENT_LENGTH");
    char* end = nullptr;
    unsigned long length = length_text ? std::strtoul(length_text, &end, 10) : 0;
    if (!length_text || *end != 0) {
        why = "the form data has no length";
        return false;
    }
    if (length > form_limit) {
        why = "the form data is too long";
        return false;
    }
    data.resize(length);
    if (length && request.read(request.context, &data[0], length) != length) {
        why = "the form data ended early";
        return false;
    }
    return true;
}
