// The answers of the query server that describe the site to the Virtual Observatory: its
// capabilities, availability and tables (VOSI 1.1), its registry record and its coverage
// map, at /capabilities, /availability, /tables (and /tables/NAME), /record and /moc.
#ifndef GALSIFT_SERVER_ANSWER_VOSI_H
#define GALSIFT_SERVER_ANSWER_VOSI_H

#include "server/server_context.h"

// When the server started, seconds since 1970: the availability documents' upSince.
long long server_started();

void answer_capabilities(FCGX_Request& request, server_context& server);
void answer_availability(FCGX_Request& request, server_context& server);
void answer_tables(FCGX_Request& request, server_context& server);
void answer_record(FCGX_Request& request, server_context& server);
void answer_moc(FCGX_Request& request, server_context& server);

// Prints the registry record of the site in the working directory on standard output,
// as /record would answer it, for a publisher to upload; the site's address comes from
// site_url in publisher.conf. Returns the exit status: 0 when printed, 1 (with the reason
// on standard error) when the catalogue or the settings fall short.
int print_record(const server_settings& settings);

#endif
