// The "query.frm" that galsift reads, written from the checked fields of a form.
#ifndef GALSIFT_WEB_QUERY_TEXT_H
#define GALSIFT_WEB_QUERY_TEXT_H

#include "web/form.h"

#include <string>

std::string query_form_text(const query_fields& fields);

#endif
