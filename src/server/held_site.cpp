// Reading the site's files, and reading them again when they change.
#include "server/held_site.h"

#include "flow/messages.h"
#include "store/file_version.h"
#include "store/store_load.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

static std::mutex state_lock;                   // guards `state`
static std::shared_ptr<const site_state> state; // the state queries read

// What the watcher knows of the files (only the watcher's thread touches these).
static const char* const names[4] = {"CG2000.dat", "CG1950.dat", "style.var", publisher_file_name};
static file_version seen[4];              // each file as last read (or refused)
static std::string refusals[2];           // why each catalogue's newer file was refused
static std::string publisher_refusal;     // why publisher.conf's texts are not served
static std::time_t publisher_read_at = 0; // when the texts served were read; 0: built-in

const held_catalogue* site_state::catalogue_of(int epoch) const {
    if (epoch == 2000)
        return catalogues[0].get();
    if (epoch == 1950)
        return catalogues[1].get();
    return nullptr;
}

std::shared_ptr<const site_state> current_site() {
    std::lock_guard<std::mutex> hold(state_lock);
    return state;
}

static void publish(std::shared_ptr<const site_state> fresh) {
    std::lock_guard<std::mutex> hold(state_lock);
    state.swap(fresh);
} // the old state goes when its last query lets it go

// ---- Reading ----

// Where the read of one catalogue file stands, for its progress lines.
struct read_progress {
    const char* name; // the file's name
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::size_t logged = 0; // entries at the last line written
    bool ended = false;     // the line of the reading's end is written
};

// Logs the progress of a long read: a line for every progress_step entries, with the
// share of the file read, the time taken and the time left at that pace; then, for a file
// of that many entries or more, a line when the reading ends and the indexing starts
// (the line of the whole read follows, from read_catalogue_file).
static void log_progress(void* to, std::size_t entries, std::size_t bytes_read,
                         std::size_t file_bytes) {
    auto& read = *static_cast<read_progress*>(to);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - read.start).count();
    bool step = entries % progress_step == 0 && entries != read.logged;
    if (step && file_bytes > 0 && bytes_read < file_bytes) {
        double share = static_cast<double>(bytes_read) / static_cast<double>(file_bytes);
        std::fprintf(stderr,
                     "galsift-server: reading %s: %zu entries, %.0f%%, %.1f s, about %.0f s "
                     "left\n",
                     read.name, entries, 100 * share, seconds, seconds * (1 - share) / share);
        read.logged = entries;
    } else if (!read.ended && entries >= progress_step) {
        std::fprintf(stderr, "galsift-server: reading %s: %zu entries read in %.1f s; indexing\n",
                     read.name, entries, seconds);
        read.ended = true;
    }
}

// Why a file read as `result` is not put in the place of a good catalogue.
static const char* refusal_reason(int result) {
    switch (result) {
    case store_changed:
        return "changed while it was read";
    case store_cut:
        return "ends inside an entry";
    case store_stopped_short:
        return "could not be read to its end (many lines after the last entry read)";
    case store_no_memory:
        return "does not fit in memory";
    default:
        return "cannot be read";
    }
}

// Reads the catalogue `which` (0 or 1) into a new held catalogue. Returns what load_store
// returned.
static int read_catalogue_file(int which, std::shared_ptr<held_catalogue>& fresh) {
    const char* path = names[which];
    fresh = std::make_shared<held_catalogue>();
    fresh->name = names[which];
    store_load_report report;
    read_progress progress{names[which]};
    report.progress = log_progress;
    report.progress_to = &progress;
    say_into(&fresh->messages);
    int result = load_store(path, fresh->store, report);
    say_into(nullptr);
    fresh->readable = result != store_unopened && result != store_no_memory;
    fresh->read_at = std::time(nullptr);
    std::fprintf(stderr, "galsift-server: read %s: %zu entries, %.1f MB held, %.2f s%s%s\n",
                 names[which], report.entries, static_cast<double>(fresh->store.bytes()) / 1e6,
                 report.seconds, result == store_loaded ? "" : ": the file ",
                 result == store_loaded ? "" : refusal_reason(result));
    return result;
}

// The notes of a state: one line for each catalogue whose file was refused, and the lines
// of publisher.conf's refusal.
static std::string notes_now() {
    std::string notes;
    for (int which = 0; which < 2; which++)
        if (!refusals[which].empty())
            notes += refusals[which] + "\n";
    return notes + publisher_refusal;
}

// Reads the catalogue `which` again into `next`, a copy of the state: the new file takes
// the old one's place when it was read whole and stood still meanwhile, or when no good
// catalogue was held; a file removed is no longer served (its queries get galsift's
// messages); otherwise the refusal is noted and the old one stays.
static void reread_catalogue(int which, site_state& next) {
    std::shared_ptr<held_catalogue> fresh;
    int result = read_catalogue_file(which, fresh);
    const held_catalogue* held = next.catalogues[which].get();
    bool good = result == store_loaded;
    bool first = !held || !held->readable;
    bool removed = result == store_unopened && !version_of(names[which]).found;
    if (good || removed || (first && result != store_changed)) {
        next.catalogues[which] = fresh; // the first read of a site is served as it stands
        refusals[which] = good      ? ""
                          : removed ? std::string(names[which]) + " is missing"
                                    : std::string(names[which]) + " " + refusal_reason(result) +
                                          ": it is served as read";
    } else if (!held) {
        refusals[which] = std::string(names[which]) + " " + refusal_reason(result) +
                          ": it is read again once it stands still";
    } else {
        char when[64];
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", std::gmtime(&held->read_at));
        refusals[which] = std::string(names[which]) + " " + refusal_reason(result) +
                          ": the version read at " + when + " is served until it is replaced";
    }
    if (!refusals[which].empty())
        std::fprintf(stderr, "galsift-server: %s\n", refusals[which].c_str());
    next.notes = notes_now();
}

static void reread_style(site_state& next) {
    next.style = table_style();
    next.style_messages.clear();
    say_into(&next.style_messages);
    read_style_file("style.var", next.style);
    say_into(nullptr);
}

// Reads publisher.conf again into `next`, a copy of the state: its texts and settings take
// the place of the old ones when every line is good, and the built-in texts and the default
// settings when it is gone; a file with bad lines (or none that can be read) leaves the old
// ones in place, and the notes say why. A state without texts gets the built-in ones.
static void reread_publisher(site_state& next) {
    static const char defaults[] = "the built-in texts and the default settings";
    auto fresh = std::make_shared<site_publisher>();
    std::string said;
    int result =
        read_publisher_file(publisher_file_name, built_in_publisher, built_in_record, *fresh, said);
    if (result == publisher_read || result == publisher_missing) {
        file_version file = version_of(publisher_file_name);
        next.publisher = fresh;
        next.publisher_changed_at = file.found ? file.modified.tv_sec : 0;
        publisher_refusal.clear();
        publisher_read_at = result == publisher_read ? std::time(nullptr) : 0;
        if (result == publisher_read)
            std::fprintf(stderr, "galsift-server: read publisher.conf\n");
        else
            std::fprintf(stderr, "galsift-server: no publisher.conf: %s are served\n", defaults);
    } else {
        char when[64] = "";
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S UTC", std::gmtime(&publisher_read_at));
        publisher_refusal =
            said + "publisher.conf is refused: " +
            (publisher_read_at ? "the texts and settings read at " + std::string(when)
                               : std::string(defaults)) +
            " are served until it is mended\n";
        std::fprintf(stderr, "galsift-server: %s", publisher_refusal.c_str());
        if (!next.publisher) {
            std::string none;
            read_publisher_text("", publisher_file_name, built_in_publisher, built_in_record,
                                *fresh, none);
            next.publisher = fresh;
        }
    }
    next.notes = notes_now();
}

void hold_site() {
    site_state first;
    for (int which = 0; which < 4; which++)
        seen[which] = version_of(names[which]);
    reread_style(first);
    reread_publisher(first);
    for (int which = 0; which < 2; which++)
        reread_catalogue(which, first);
    publish(std::make_shared<const site_state>(first));
}

// Whether the file `which` changed since it was last read and has stood still for a
// second since; then it is taken as seen.
static bool changed_and_still(int which) {
    file_version now = version_of(names[which]);
    if (now.same(seen[which]))
        return false;
    if (now.found && std::time(nullptr) - now.modified.tv_sec < 1)
        return false; // being written, perhaps: look again at the next tick
    seen[which] = now;
    return true;
}

void watch_site() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        bool changes[4];
        bool any = false;
        for (int which = 0; which < 4; which++)
            any |= changes[which] = changed_and_still(which);
        if (!any)
            continue;
        site_state next = *current_site();
        if (changes[2])
            reread_style(next);
        if (changes[3])
            reread_publisher(next);
        for (int which = 0; which < 2; which++)
            if (changes[which])
                reread_catalogue(which, next);
        publish(std::make_shared<const site_state>(std::move(next)));
    }
}
