// Reading the server's settings.
#include "server/server_settings.h"

#include <cstdlib>
#include <cstring>

#include <unistd.h>

// GALSIFT_WORKERS when it is a whole number from 1 to 256; else the processors online.
static int workers_setting() {
    const char* value = std::getenv("GALSIFT_WORKERS");
    char* end = nullptr;
    long number = value && *value ? std::strtol(value, &end, 10) : 0;
    if (value && *value && *end == 0 && number >= 1 && number <= 256)
        return static_cast<int>(number);
    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    return processors > 0 ? static_cast<int>(processors) : 1;
}

// GALSIFT_TIME_LIMIT as decimal seconds from 0.001 to 3600; else the site's whole seconds.
static double time_limit_setting(int whole_seconds) {
    const char* value = std::getenv("GALSIFT_TIME_LIMIT");
    char* end = nullptr;
    double seconds = value && *value ? std::strtod(value, &end) : 0;
    if (value && *value && *end == 0 && seconds >= 0.001 && seconds <= 3600)
        return seconds;
    return whole_seconds;
}

bool read_server_settings(int argc, char** argv, server_settings& settings, std::string& why) {
    settings.here = site_settings();
    settings.limits = answer_limits_settings();
    settings.workers = workers_setting();
    settings.time_limit = time_limit_setting(settings.here.time_limit);
    for (int n = 1; n < argc; n++) {
        if (std::strcmp(argv[n], "--listen") == 0 && n + 1 < argc && *argv[n + 1]) {
            settings.listen = argv[++n];
        } else {
            why = std::string("unknown argument: ") + argv[n];
            return false;
        }
    }
    return true;
}
