// What the query server holds of its site: each epoch's catalogue in a store, the table
// style, and the publisher's texts and the services' settings, as one state that every query
// reads whole. The state is never changed: a file that changes is read beside the state in
// use, and a new state then takes its place at once; a query keeps the state it started with
// until it ends, and the old one is released with its last query. A file that changes while
// it is read, or that is damaged, is not put in place: the last good catalogue stays, and the
// site's notes say why. So does a publisher.conf with bad lines: the last good texts and
// settings stay (the built-in texts and the default settings, when there were none), and the
// notes name the lines.
#ifndef GALSIFT_SERVER_HELD_SITE_H
#define GALSIFT_SERVER_HELD_SITE_H

#include "page/style.h"
#include "store/catalogue_store.h"
#include "web/publisher_file.h"

#include <ctime>
#include <memory>
#include <string>

// One epoch's catalogue as held.
struct held_catalogue {
    const char* name = "";   // its file's name: "CG2000.dat" or "CG1950.dat"
    bool readable = false;   // `store` holds the file's entries; else the file could not be
                             // read and `messages` says so
    catalogue_store store;   // the entries
    std::string messages;    // what reading the file said, as the console program says it
    std::time_t read_at = 0; // when the file was read
};

struct site_state {
    std::shared_ptr<const held_catalogue> catalogues[2]; // CG2000.dat, CG1950.dat
    table_style style;                                   // the results table's style
    std::string style_messages;                          // what reading style.var said
    std::shared_ptr<const site_publisher> publisher;     // the publisher's texts and the
                                                         // services' settings: those of
                                                         // publisher.conf over the built-in
                                                         // texts; never null
    std::time_t publisher_changed_at = 0;                // the modification time of the
                                                         // publisher.conf read; 0: none
    std::string notes; // what is amiss with the site's files now, a line each;
                       // empty when every file is served as it stands

    // The catalogue of `epoch` (2000 or 1950), or null for another epoch.
    const held_catalogue* catalogue_of(int epoch) const;
};

// The state queries read now. Never null once hold_site has returned.
std::shared_ptr<const site_state> current_site();

// Reads the site's files in the working directory once, logging each read, and makes them
// the current state.
void hold_site();

// Looks at the site's files every second and reads again those that changed, each once it
// has stood still for a second; never returns. Runs on a thread of its own.
void watch_site();

#endif
