// The documents the table access service gives of itself: its capabilities (VOSI, with
// TAPRegExt's description of the service), its availability, its tables (VOSI 1.1
// tableset, VODataService 1.1) and its examples (DALI, XHTML with RDFa). Plain functions of
// plain inputs, so that another service of the site can write its own from them.
#ifndef GALSIFT_TAP_VOSI_DOCUMENTS_H
#define GALSIFT_TAP_VOSI_DOCUMENTS_H

#include "tap/published_tables.h"
#include "tap/tap_settings.h"

#include <string>
#include <vector>

// The TAP capability (TAPRegExt's tr:TableAccess) of the service whose base URL is
// `tap_url`: its languages and features, output formats, upload method and limits. A
// fragment for a capabilities document or a registry record whose root declares the
// prefixes vr, vs, tr and xsi.
std::string tap_capability(const std::string& tap_url, const tap_settings& settings);

// The capabilities of the service whose base URL is `tap_url` (".../tap").
std::string tap_capabilities_document(const std::string& tap_url, const tap_settings& settings);

// The availability: whether the service answers, and a note saying why not (or "").
std::string availability_document(bool available, const std::string& note);

// The tableset of `tables`: with their columns and keys (`detail` true, detail=max), or
// the tables alone (detail=min).
std::string tables_document(const std::vector<published_table>& tables, bool detail);

// The document of one table, with its columns and keys.
std::string table_document(const published_table& table);

// The examples: queries a visitor can run as they stand.
std::string examples_document();

#endif
