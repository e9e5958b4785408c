// registry_settings: what the publisher says of the site for the Virtual Observatory, read
// from the site's settings file (publisher.conf): the texts of the registry record (title,
// identifier, publisher, contact, subjects, description, ...), the frame of each catalogue
// file, and the order of the coverage map.
//
// The file holds lines of "key = value"; a line whose first character that is not a space
// is "#" is a comment, as is an empty one. Keys are those listed in the reader, plus
// the page's own (title, author, institution, owner, place, year, sponsor, sponsor_site),
// of which the record uses title, author (its creators) and institution (the publisher
// when no publisher is given). Repeated keys (subject, author, waveband) add a value
// each; repeated description lines are joined by a space; any other key given twice keeps
// its last value.
#ifndef GALSIFT_VO_REGISTRY_SETTINGS_H
#define GALSIFT_VO_REGISTRY_SETTINGS_H

#include "vo/coordinate_frame.h"

#include <string>
#include <vector>

struct registry_settings {
    std::string title;                 // the resource's title
    std::string short_name;            // a short name for displays, at most 16 characters
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
    int moc_order = -1; // the coverage map's order, 0 to 29; -1: from the
                        // catalogue's size
    std::string notes;  // what was wrong in the file, a line each
};

// The file the settings are read from, in the site's folder.
inline const char registry_settings_file[] = "publisher.conf";

void read_registry_settings(const std::string& text, registry_settings& settings);
std::string missing_record_settings(const registry_settings& settings);

#endif
