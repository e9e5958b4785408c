// A request's variables, path and site.
#include "server/request_site.h"

#include "vo/site_address.h"

// The request's variable `name`, empty when unset.
std::string request_variable(FCGX_Request& request, const char* name) {
    const char* value = FCGX_GetParam(name, request.envp);
    return value ? value : "";
}

// The path that was asked for: SCRIPT_NAME then PATH_INFO when the web server sets them,
// else REQUEST_URI up to its query.
std::string asked_path(FCGX_Request& request) {
    std::string path =
        request_variable(request, "SCRIPT_NAME") + request_variable(request, "PATH_INFO");
    if (path.empty()) {
        path = request_variable(request, "REQUEST_URI");
        path = path.substr(0, path.find('?'));
    }
    return path;
}

// The site's address (site_address.h) as `request`, which asked for `route` ("/record",
// "/tap/sync"), reached it: "https://example.org/galsift".
std::string site_of(FCGX_Request& request, const std::string& route) {
    request_address at;
    at.host = request_variable(request, "HTTP_HOST");
    at.scheme = request_variable(request, "REQUEST_SCHEME");
    at.https = request_variable(request, "HTTPS");
    at.server_name = request_variable(request, "SERVER_NAME");
    at.server_port = request_variable(request, "SERVER_PORT");
    at.path = asked_path(request);
    return site_base_url(at, route);
}
