// What the query server's answers read of a request beyond its parameters: its variables,
// the path it asked for, and the site's own address as it reached it.
#ifndef GALSIFT_SERVER_REQUEST_SITE_H
#define GALSIFT_SERVER_REQUEST_SITE_H

#include <fcgiapp.h>

#include <string>

std::string request_variable(FCGX_Request& request, const char* name);
std::string asked_path(FCGX_Request& request);
std::string site_of(FCGX_Request& request, const std::string& route);

#endif
