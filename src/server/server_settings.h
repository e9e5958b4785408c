// The query server's settings: the site's (cgi/site.h), the limits of long answers, and its
// own; from the web server's environment and the command line, read once at start-up.
#ifndef GALSIFT_SERVER_SERVER_SETTINGS_H
#define GALSIFT_SERVER_SERVER_SETTINGS_H

#include "cgi/site.h"
#include "vo/result_formats.h"

#include <string>

struct server_settings {
    site here;            // the folder of the site's files, time and wait limits, queue,
                          // character set
    answer_limits limits; // rows of pages, cone answers, complete pages and downloads
    int workers = 1;      // GALSIFT_WORKERS: queries answered at once; default the
                          // processors online
    double time_limit = 10; // GALSIFT_TIME_LIMIT: seconds a query may take to select and
                            // write its answer (decimals allowed, at least 0.001)
    std::string listen;   // --listen ADDRESS (":9000", "127.0.0.1:9000", or a socket path);
                          // empty: the listening socket is standard input
};

// The settings from the environment and the arguments. Returns false with the reason in
// `why` for an argument it does not know.
bool read_server_settings(int argc, char** argv, server_settings& settings, std::string& why);

#endif
