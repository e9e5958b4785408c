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

bool read_server_settings(int argc, char** argv, server_settings& settings, std::string& why) {
    settings.here = site_settings();
    settings.limits = answer_limits_settings();
    settings.workers = workers_setting();
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
