// The answers the front ends send to the web server, as CGI and FastCGI responses (a
// "Status:" header, the other headers, a blank line, the body): the results page
// unchanged, or a page of galsift's messages, or a page that says the request was refused.
// The texts are built here; each front end writes them on its own connection.
#ifndef GALSIFT_WEB_RESPONSE_H
#define GALSIFT_WEB_RESPONSE_H

#include <string>

std::string html_escape(const std::string& text);
std::string page_response(const std::string& page);
std::string messages_response(int status, const std::string& title, const std::string& messages);
std::string busy_response(int retry_after);

#endif
