// The answers the front ends send to the web server, as CGI and FastCGI responses (a
// "Status:" header, the other headers, a blank line, the body): the results page
// unchanged, the query form filled again with what a visitor sent, or a page of messages.
// The texts are built here; each front end writes them on its own connection.
//
// Every response carries a Content-Security-Policy (no script runs in any page or
// picture, and the results page may load nothing at all nor send a form),
// X-Content-Type-Options: nosniff, Referrer-Policy: no-referrer (the address holds the
// query), and a Content-Type naming the site's character set.
#ifndef GALSIFT_WEB_RESPONSE_H
#define GALSIFT_WEB_RESPONSE_H

#include "web/form.h"

struct publisher_texts;

#include <string>

// The character set of the pages sent, which is that of the catalogue's texts: the
// site's setting, given by each front end at start-up through charset_setting().
extern std::string page_charset;

// The character set named when the site names none, or none that can be used.
inline const char default_charset[] = "UTF-8";

std::string charset_setting(const char* setting);
std::string html_escape(const std::string& text);
std::string results_page_head();
std::string page_response(const std::string& page);
std::string form_response(int status, const std::string& title, const query_fields& fields,
                          const std::string& messages, const publisher_texts& publisher);
std::string messages_response(int status, const std::string& title, const std::string& messages);
std::string busy_response(int retry_after);
std::string picture_head();

#endif
