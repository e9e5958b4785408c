// The answers the front end sends to the web server: the results page unchanged, or a
// page of galsift's messages, or a page that says the request was refused.
#ifndef GALSIFT_CGI_RESPONSE_H
#define GALSIFT_CGI_RESPONSE_H

#include <string>

std::string html_escape(const std::string& text);
void send_page(const std::string& page);
void send_messages(int status, const std::string& title, const std::string& messages);

#endif
