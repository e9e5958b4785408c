// The private working directory of one request, under the site's spool directory.
#ifndef GALSIFT_CGI_REQUEST_DIR_H
#define GALSIFT_CGI_REQUEST_DIR_H

#include "cgi/site.h"

#include <string>

std::string make_request_dir(const site& here);
bool write_text_file(const std::string& path, const std::string& text);
bool read_text_file(const std::string& path, std::string& text);
void remove_request_dir(const std::string& dir);
void sweep_spool(const site& here);

#endif
