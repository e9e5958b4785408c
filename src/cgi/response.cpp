// Writing CGI responses on standard output.
#include "cgi/response.h"

#include <cstdio>

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
    default:
        return "Internal Server Error";
    }
}

static void send(int status, const std::string& body) {
    std::printf("Status: %d %s\r\nContent-Type: text/html\r\nContent-Length: %zu\r\n\r\n", status,
                reason(status), body.size());
    std::fwrite(body.data(), 1, body.size(), stdout);
    std::fflush(stdout);
}

// Sends the results page galsift wrote, byte for byte.
void send_page(const std::string& page) {
    send(200, page);
}

// Sends a page in the site's look that shows `messages` (escaped) under `title`, with a
// link back to the query form.
void send_messages(int status, const std::string& title, const std::string& messages) {
    std::string body = "<html>\n<head>\n<title>" + html_escape(title) +
                       "</title>\n</head>\n<body>\n<font color=\"#008080\"><h2>" +
                       html_escape(title) + "</h2></font>\n<pre>" + html_escape(messages) +
                       "</pre>\n<p><a href=\"" + form_address +
                       "\">Back to the query form</a></p>\n</body>\n</html>\n";
    send(status, body);
}
