// The site's settings: built-in values, replaced by the web server's environment.
#include "cgi/site.h"

#include "web/response.h"

#include <cstdlib>

#include <unistd.h>

#ifndef GALSIFT_CGI_PROGRAM
#define GALSIFT_CGI_PROGRAM "/usr/local/bin/galsift"
#endif
#ifndef GALSIFT_CGI_PAGES
#define GALSIFT_CGI_PAGES "/var/www/galsift"
#endif
#ifndef GALSIFT_CGI_CHARSET
#define GALSIFT_CGI_CHARSET "UTF-8"
#endif
#ifndef GALSIFT_CGI_SPOOL
#define GALSIFT_CGI_SPOOL "/var/spool/galsift"
#endif

const char* const site_files[5] = {"CG2000.dat", "CG1950.dat", "style.var", "introduction.htm",
                                   "references.htm"};

// The value of the environment variable `name` when it is set and not empty, else
// `fallback`.
static std::string setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// A whole number from the environment, within [0, most], else `fallback`.
static int whole_number(const char* name, int fallback, long most) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return fallback;
    char* end = nullptr;
    long number = std::strtol(value, &end, 10);
    if (*end != 0 || number < 0 || number > most)
        return fallback;
    return static_cast<int>(number);
}

// A whole number of seconds from the environment, within [0, 3600], else `fallback`.
static int seconds(const char* name, int fallback) {
    return whole_number(name, fallback, 3600);
}

// The settings of this installation.
site site_settings() {
    site here;
    here.program = setting("GALSIFT_PROGRAM", GALSIFT_CGI_PROGRAM);
    here.pages = setting("GALSIFT_PAGES", GALSIFT_CGI_PAGES);
    here.spool = setting("GALSIFT_SPOOL", GALSIFT_CGI_SPOOL);
    here.time_limit = seconds("GALSIFT_TIME_LIMIT", 10);
    if (here.time_limit < 1)
        here.time_limit = 1;
    here.retention = seconds("GALSIFT_RETENTION", 0);
    here.wait_limit = seconds("GALSIFT_WAIT_LIMIT", 10);
    here.queue_limit = whole_number("GALSIFT_QUEUE_LIMIT", 64, 1024);
    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    here.runs_limit = whole_number("GALSIFT_RUNS_LIMIT", 0, 1024);
    if (here.runs_limit == 0)
        here.runs_limit = processors > 0 ? static_cast<int>(processors) : 1;
    here.charset = charset_setting(setting("GALSIFT_CHARSET", GALSIFT_CGI_CHARSET).c_str());
    return here;
}
