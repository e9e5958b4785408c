// The site's own address, as a request reached it: what the documents that name the
// site's addresses (the capabilities, the registry record) put before "/cone",
// "/capabilities", ... A web server tells it in the request's variables; a visitor can set
// the Host header to anything, so each part is checked, and a part that is not plainly
// what it claims to be is replaced by the server's own name or left out.
#ifndef GALSIFT_VO_SITE_ADDRESS_H
#define GALSIFT_VO_SITE_ADDRESS_H

#include <string>

// The request's variables that tell where it arrived, as the web server set them (empty
// when unset).
struct request_address {
    std::string host;        // HTTP_HOST: "name" or "name:port"
    std::string scheme;      // REQUEST_SCHEME: "http" or "https"
    std::string https;       // HTTPS: "on" behind TLS
    std::string server_name; // SERVER_NAME
    std::string server_port; // SERVER_PORT
    std::string path;        // SCRIPT_NAME then PATH_INFO: the path that was asked for,
                             // "/galsift/capabilities" for a site under /galsift
};

std::string site_base_url(const request_address& at, const std::string& route);

#endif
