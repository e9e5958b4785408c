// The publisher's settings (registry_settings.h) as the query server holds them: read from
// publisher.conf in the site's folder (its working directory) when first asked for, and
// again whenever the file has changed since. A missing file gives the settings' defaults.
// Every thread may ask; what it gets is never changed.
#ifndef GALSIFT_SERVER_HELD_REGISTRY_H
#define GALSIFT_SERVER_HELD_REGISTRY_H

#include "vo/registry_settings.h"

#include <ctime>
#include <memory>

struct held_registry {
    registry_settings settings;
    std::time_t changed_at = 0; // the file's modification time; 0 when there is none
};

std::shared_ptr<const held_registry> current_registry();

#endif
