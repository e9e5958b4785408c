// The documents the table access service gives of itself beyond those every VOSI service
// writes alike (vo/vosi_*.h): its TAP capability (TAPRegExt's description of the service),
// its capabilities document, its tables as the tables documents describe them, and its
// examples (DALI, XHTML with RDFa).
#ifndef GALSIFT_TAP_VOSI_DOCUMENTS_H
#define GALSIFT_TAP_VOSI_DOCUMENTS_H

#include "tap/published_tables.h"
#include "tap/tap_settings.h"
#include "vo/vosi_tables.h"

#include <string>
#include <vector>

// The TAP capability (TAPRegExt's tr:TableAccess) of the service whose base URL is
// `tap_url`: its languages and features, output formats, upload method and limits. A
// fragment for a capabilities document or a registry record (vo/vosi_capabilities.h).
std::string tap_capability(const std::string& tap_url, const tap_settings& settings);

// The capabilities of the service whose base URL is `tap_url` (".../tap"): TAP, its VOSI
// documents under it, its examples.
std::string tap_capabilities_document(const std::string& tap_url, const tap_settings& settings);

// The schemas of published_schemas holding `tables`, for the tables documents: each
// column by its ADQL name, each table with the keys of published_keys that lead from it.
std::vector<described_schema> described_schemas(const std::vector<published_table>& tables);

// The examples: queries a visitor can run as they stand.
std::string examples_document();

#endif
