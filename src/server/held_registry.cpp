// Reading the publisher's settings, and reading them again when their file changes.
#include "server/held_registry.h"

#include "store/file_version.h"

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>

static std::mutex registry_lock;                          // guards the two below
static file_version registry_seen;                        // the file as last read
static std::shared_ptr<const held_registry> registry_now; // what it said

// The settings now: those last read, or those the file holds now when it changed since
// (each note of a refused line is logged once, when the file is read).
std::shared_ptr<const held_registry> current_registry() {
    std::lock_guard<std::mutex> hold(registry_lock);
    file_version now = version_of(registry_settings_file);
    if (registry_now && now.same(registry_seen))
        return registry_now;
    auto fresh = std::make_shared<held_registry>();
    if (now.found) {
        std::ifstream file(registry_settings_file, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        read_registry_settings(text.str(), fresh->settings);
        fresh->changed_at = now.modified.tv_sec;
        if (!fresh->settings.notes.empty())
            std::fprintf(stderr, "galsift-server: %s", fresh->settings.notes.c_str());
    }
    registry_seen = now;
    registry_now = fresh;
    return registry_now;
}
