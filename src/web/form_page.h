// The query form page: the site's form, filled with a visitor's fields, each refused
// field's reason beside it, and galsift's messages above it when it refused the query.
// The site's own query.htm is this page with the default fields. Its heading is the
// results page's (heading_of the publisher's texts).
#ifndef GALSIFT_WEB_FORM_PAGE_H
#define GALSIFT_WEB_FORM_PAGE_H

#include "web/form.h"

struct publisher_texts;

#include <string>

// The title of the page that first shows the form.
inline const char form_title[] = "Query form";

std::string form_page(const std::string& title, const query_fields& fields,
                      const std::string& messages, const publisher_texts& publisher);

#endif
