// Building the front ends' responses.
#include "web/response.h"

#include "web/form_page.h"

#include <cstring>

std::string page_charset = default_charset;

// Where the visitor goes back to ask again.
static const char form_address[] = "query.htm";

// What each kind of page may do in the browser. The results page holds the catalogue's
// texts as they stand, so it may run no script, load nothing, send no form and not be
// framed; the front end's own pages may only send the form to the site itself and show
// the site's own images (the coverage map). A picture is held to the results page's
// policy: drawn with presentation attributes only, it needs nothing more.
static const char results_policy[] =
    "default-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
static const char own_policy[] = "default-src 'none'; img-src 'self'; base-uri 'none'; "
                                 "form-action 'self'; frame-ancestors 'none'";

// The character set named by `setting` when it is a name a Content-Type may carry (1 to
// 40 letters, digits, '-', '_', '.' or ':'); else, and when there is none, default_charset.
std::string charset_setting(const char* setting) {
    static const char allowed[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.:";
    if (!setting || !*setting || std::strlen(setting) > 40 ||
        std::strspn(setting, allowed) != std::strlen(setting))
        return default_charset;
    return setting;
}

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

// The status line and the headers of an answer of `type` with `policy`, each ending in
// CR LF, without its length.
static std::string head(int status, const char* policy,
                        const std::string& type = "text/html; charset=" + page_charset) {
    return "Status: " + std::to_string(status) + " " + reason(status) +
           "\r\nContent-Type: " + type + "\r\nContent-Security-Policy: " + policy +
           "\r\nX-Content-Type-Options: nosniff\r\nReferrer-Policy: no-referrer\r\n";
}

// A whole response: the status line, the headers with the page's `policy`, and `body`.
static std::string response(int status, const char* policy, const std::string& body) {
    return head(status, policy) + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
           body;
}

// The head of a results page (200), without its length, for a front end that sends the
// page as it is written.
std::string results_page_head() {
    return head(200, results_policy);
}

// The results page galsift wrote, byte for byte.
std::string page_response(const std::string& page) {
    return response(200, results_policy, page);
}

// The query form under `title` and `publisher`'s heading, filled with `fields`, each
// refused field marked, with galsift's `messages` above it when there are any.
std::string form_response(int status, const std::string& title, const query_fields& fields,
                          const std::string& messages, const publisher_texts& publisher) {
    return response(status, own_policy, form_page(title, fields, messages, publisher));
}

// A page in the site's look that shows `messages` (escaped) under `title`, with a link
// back to the query form.
std::string messages_response(int status, const std::string& title, const std::string& messages) {
    std::string body = "<html>\n<head>\n<title>" + html_escape(title) +
                       "</title>\n</head>\n<body>\n<font color=\"#008080\"><h2>" +
                       html_escape(title) + "</h2></font>\n<pre>" + html_escape(messages) +
                       "</pre>\n<p><a href=\"" + form_address +
                       "\">Back to the query form</a></p>\n</body>\n</html>\n";
    return response(status, own_policy, body);
}

// A 503 with a Retry-After of `retry_after` seconds: the site is too busy to answer now.
std::string busy_response(int retry_after) {
    std::string busy = messages_response(503, "The site is busy",
                                         "too many queries at once; please ask again shortly\n");
    std::size_t first_line_end = busy.find("\r\n") + 2;
    return busy.insert(first_line_end, "Retry-After: " + std::to_string(retry_after) + "\r\n");
}

// The head of a picture (200, image/svg+xml), without its length, under the results
// page's policy: should a browser open it as a document, nothing in it runs.
std::string picture_head() {
    return head(200, results_policy, "image/svg+xml");
}
