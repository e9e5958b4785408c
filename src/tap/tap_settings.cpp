// Reading the service's settings.
#include "tap/tap_settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

// The whole number in the variable `name` when it lies in [low, high]; else `otherwise`.
static long long setting(const char* name, long long low, long long high, long long otherwise) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return otherwise;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    return errno == 0 && *end == 0 && value >= low && value <= high ? value : otherwise;
}

tap_settings tap_settings_from_environment() {
    tap_settings s;
    s.maxrec_limit = setting("GALSIFT_TAP_MAXREC_LIMIT", 1, 1000000000, s.maxrec_limit);
    s.maxrec = setting("GALSIFT_TAP_MAXREC", 0, s.maxrec_limit, std::min(s.maxrec, s.maxrec_limit));
    s.sync_seconds = static_cast<int>(setting("GALSIFT_TAP_SYNC_LIMIT", 1, 86400, s.sync_seconds));
    s.async_seconds =
        static_cast<int>(setting("GALSIFT_TAP_ASYNC_LIMIT", 1, 30 * 86400, s.async_seconds));
    s.jobs = static_cast<int>(setting("GALSIFT_TAP_JOBS", 1, 64, s.jobs));
    s.retention = static_cast<int>(setting("GALSIFT_TAP_RETENTION", 60, 365 * 86400, s.retention));
    s.upload_limit = static_cast<std::size_t>(setting("GALSIFT_TAP_UPLOAD_LIMIT", 1024, 1LL << 31,
                                                      static_cast<long long>(s.upload_limit)));
    return s;
}
