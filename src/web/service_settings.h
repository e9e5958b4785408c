// service_settings: what the site's publisher.conf says of its services beyond the texts
// of the pages and of the registry record: the record's other settings, the frame of each
// catalogue file's positions and the coverage map's order. They are the site's alone: the
// programs carry none built in, and a key the file leaves out has the default below.
// The texts are plain: whoever writes them into a document escapes them.
#ifndef GALSIFT_WEB_SERVICE_SETTINGS_H
#define GALSIFT_WEB_SERVICE_SETTINGS_H

#include "web/coordinate_frame.h"

#include <cstddef>

struct service_settings {
    const char* short_name = "";            // a name for displays, at most 16 bytes; "": none
    const char* publisher_id = "";          // the publisher's own IVOA identifier; "": none
    const char* site_url = "";              // the site's public address, no '/' at its end;
                                            // "": the address a request came to
    const char* created = "";               // when first published, YYYY-MM-DD; "": the catalogue
                                            // file's modification time
    const char* const* wavebands = nullptr; // messengers (Optical, Radio, ...),
    std::size_t waveband_count = 0;         // waveband_count of them
    coordinate_frame frames[2] = {frame_of_epoch(2000), frame_of_epoch(1950)};
    // CG2000.dat's, CG1950.dat's
    int moc_order = -1; // the coverage map's order, 0 to 29; -1: from the catalogue's size
};

#endif
