// Building the front ends' responses.
#include "web/response.h"

// Where the visitor goes back to ask again.
static const char form_address[] = "query.htm";

// `text` with the characters that HTML gives a meaning replaced by references.
std::string html_escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

static const char* reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 503:
        return "Service Unavailable";
    default:
        return "Internal Server Error";
    }
}

// A whole response: the status line, the headers and `body`.
static std::string response(int status, const std::string& body) {
    return "Status: " + std::to_string(status) + " " + reason(status) +
           "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// The results page galsift wrote, byte for byte.
std::string page_response(const std::string& page) {
    return response(200, page);
}

// A page in the site's look that shows `messages` (escaped) under `title`, with a link
// back to the query form.
std::string messages_response(int status, const std::string& title, const std::string& messages) {
    std::string body = "<html>\n<head>\n<title>" + html_escape(title) +
                       "</title>\n</head>\n<body>\n<font color=\"#008080\"><h2>" +
                       html_escape(title) + "</h2></font>\n<pre>" + html_escape(messages) +
                       "</pre>\n<p><a href=\"" + form_address +
                       "\">Back to the query form</a></p>\n</body>\n</html>\n";
    return response(status, body);
}

// A 503 with a Retry-After of `retry_after` seconds: the site is too busy to answer now.
std::string busy_response(int retry_after) {
    std::string busy = messages_response(503, "The site is busy",
                                         "too many queries at once; please ask again shortly\n");
    std::size_t first_line_end = busy.find("\r\n") + 2;
    return busy.insert(first_line_end, "Retry-After: " + std::to_string(retry_after) + "\r\n");
}
