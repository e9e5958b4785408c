// Working out the site's address from a request.
#include "vo/site_address.h"

#include <cctype>

// Whether `text` is a host name or address with an optional port: letters, digits, "-"
// and "." (or an IPv6 address in brackets), then ":" and digits.
static bool is_host(const std::string& text) {
    if (text.empty() || text.size() > 255)
        return false;
    std::size_t n = 0;
    if (text[0] == '[') {
        std::size_t close = text.find(']');
        if (close == std::string::npos || close < 3)
            return false;
        for (n = 1; n < close; n++)
            if (!std::isxdigit(static_cast<unsigned char>(text[n])) && text[n] != ':' &&
                text[n] != '.')
                return false;
        n = close + 1;
    } else {
        for (; n < text.size() && text[n] != ':'; n++)
            if (!std::isalnum(static_cast<unsigned char>(text[n])) && text[n] != '-' &&
                text[n] != '.')
                return false;
        if (n == 0)
            return false;
    }
    if (n == text.size())
        return true;
    if (text[n] != ':' || n + 1 == text.size() || text.size() - n > 6)
        return false;
    for (n++; n < text.size(); n++)
        if (!std::isdigit(static_cast<unsigned char>(text[n])))
            return false;
    return true;
}

// Whether `text` is a path of plain characters: letters, digits and "-._~/%".
static bool is_plain_path(const std::string& text) {
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) &&
            std::string("-._~/%").find(c) == std::string::npos)
            return false;
    return true;
}

// The address of the site whose `route` ("/capabilities") the request `at` asked for,
// without a "/" at its end: "https://example.org/galsift". The scheme is REQUEST_SCHEME's
// when it is http or https, else https when HTTPS is "on", else http; the host is
// HTTP_HOST's when it is plainly a host, else SERVER_NAME's (with SERVER_PORT's port
// unless it is the scheme's own), else "localhost"; the path is what comes before `route` at the
// end of the path asked for, left out when it holds anything but plain characters.
std::string site_base_url(const request_address& at, const std::string& route) {
    std::string scheme = at.scheme == "http" || at.scheme == "https" ? at.scheme
                         : at.https == "on" || at.https == "ON"      ? "https"
                                                                     : "http";
    std::string host = at.host;
    if (!is_host(host)) {
        host = at.server_name;
        bool own_port = at.server_port == (scheme == "https" ? "443" : "80");
        if (!at.server_port.empty() && !own_port)
            host += ":" + at.server_port;
        if (!is_host(host))
            host = "localhost";
    }
    std::string prefix;
    if (at.path.size() > route.size() &&
        at.path.compare(at.path.size() - route.size(), route.size(), route) == 0)
        prefix = at.path.substr(0, at.path.size() - route.size());
    while (!prefix.empty() && prefix.back() == '/')
        prefix.pop_back();
    if (!is_plain_path(prefix) || (!prefix.empty() && prefix[0] != '/'))
        prefix.clear();
    return scheme + "://" + host + prefix;
}
