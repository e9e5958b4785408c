// registry_settings: what the registry record says of the site, as the site's
// publisher.conf gives it (site_publisher, src/web/publisher_file.h): the record's texts,
// its authors and heading from the pages' texts, and the services' settings.
#ifndef GALSIFT_VO_REGISTRY_SETTINGS_H
#define GALSIFT_VO_REGISTRY_SETTINGS_H

#include "web/coordinate_frame.h"
#include "web/publisher_file.h"

#include <string>
#include <vector>

struct registry_settings {
    std::string title;                 // the resource's title: the pages' heading
    std::string short_name;            // a short name for displays, at most 16 bytes
    std::string identifier;            // its IVOA identifier, ivo://authority/path
    std::string publisher;             // who publishes it (else the institution)
    std::string publisher_id;          // the publisher's own IVOA identifier, if any
    std::vector<std::string> creators; // the authors' names
    std::string contact_name;          // whom to ask about it
    std::string contact_email;
    std::string description;            // what it holds, a paragraph
    std::vector<std::string> subjects;  // its subjects, from the Unified Astronomy Thesaurus
    std::string reference_url;          // where it is described for people
    std::string site_url;               // the site's public address (no "/" at its end);
                                        // empty: the address a request came to
    std::string created;                // when it was first published, YYYY-MM-DD
    std::vector<std::string> wavebands; // messengers: Optical, Radio, ...
    coordinate_frame frames[2] = {frame_of_epoch(2000), frame_of_epoch(1950)};
    // CG2000.dat's, CG1950.dat's
};

registry_settings registry_settings_of(const site_publisher& publisher);
std::string missing_record_settings(const registry_settings& settings);

#endif
