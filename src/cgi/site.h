// Where the site keeps galsift, its catalogue and its pages: set when the front end is
// built (CMake cache variables) and, for an installation, by the web server's
// configuration through the environment; never by a visitor.
#ifndef GALSIFT_CGI_SITE_H
#define GALSIFT_CGI_SITE_H

#include <string>

struct site {
    std::string program;  // the installed galsift
    std::string pages;    // folder of the catalogues, style.var and the static pages
    std::string spool;    // folder under which each request gets its own directory
    int time_limit = 10;  // seconds galsift may run
    int retention = 0;    // seconds a request's directory is kept; 0 removes it at once
                          // (a retention up to time_limit is made time_limit + 1)
    int wait_limit = 10;  // seconds a query may wait for its turn before a 503
    int queue_limit = 64; // queries that may wait at once (query server); more get a 503
    int runs_limit = 2;   // galsift runs at once (CGI front end): the processors online
    std::string charset;  // character set of the catalogue's texts, named in every page
};

site site_settings();

// The files of the site that every request's directory holds, as links: the catalogues,
// the table style and the two pages the results page links to.
extern const char* const site_files[5];

#endif
