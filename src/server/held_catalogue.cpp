// Holding each epoch's catalogue list, and replacing it when its file changes.
#include "server/held_catalogue.h"

#include "catalogue/record_list.h"
#include "catalogue/record_pool.h"
#include "flow/globals.h"
#include "flow/stages.h"
#include "server/run_clock.h"

#include <sys/stat.h>

#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <utility>

// One list as read from its file, and what identifies that version of the file.
struct held_list {
    const char* name = nullptr; // the catalogue's file name, as the stages use it
    bool loaded = false;        // the list holds the file's entries
    dev_t device = 0;           // the file's device, inode, size and modification
    ino_t inode = 0;            // time when it was read: any change means another
    off_t size = 0;             // version of the file
    timespec modified = {};
    record* first = nullptr; // first entry of the list
    int count = 0;           // entries in the list
    record_pool pool;        // where the list's records live

    bool same_file(const struct stat& info) const;
    void release();
};

static held_list held[2]; // one list a catalogue file, found by name

bool held_list::same_file(const struct stat& info) const {
    return loaded && info.st_dev == device && info.st_ino == inode && info.st_size == size &&
           info.st_mtim.tv_sec == modified.tv_sec && info.st_mtim.tv_nsec == modified.tv_nsec;
}

void held_list::release() {
    pool.release();
    loaded = false;
    first = nullptr;
    count = 0;
}

// The held list of the catalogue `name` (one of the names catalogue_name gives).
static held_list& list_of(const char* name) {
    for (held_list& list : held) {
        if (!list.name || std::strcmp(list.name, name) == 0) {
            list.name = name;
            return list;
        }
    }
    assert(false); // catalogue_name gives more names than there are held lists
    return held[0];
}

// Reads the catalogue `name` in the working directory into `fresh`, with the program's own
// stages, in a pool of its own. `seen` is the file as found just before (all zero when it
// was not found, which no real file matches); a file changed while it was read is read
// again by the next query, as its version then differs.
// Returns what Read_record_list returns; on failure `fresh` holds nothing.
static int read_fresh(const char* name, const struct stat& seen, held_list& fresh) {
    auto start = std::chrono::steady_clock::now();
    pause_run_clock();
    record_pool* before = use_record_pool(&fresh.pool);
    DB_First = record();
    total_number = 0;
    int read = read_catalogue(name);
    use_record_pool(before);
    resume_run_clock();
    if (read != catalogue_read) {
        fresh.release();
        return read;
    }
    fresh.loaded = true;
    fresh.device = seen.st_dev;
    fresh.inode = seen.st_ino;
    fresh.size = seen.st_size;
    fresh.modified = seen.st_mtim;
    fresh.first = DB_First.next;
    fresh.count = total_number;
    auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    std::fprintf(stderr, "galsift-server: read %s: %d entries, %zu MB, %.3f s\n", name, fresh.count,
                 fresh.pool.bytes() >> 20, took.count());
    return read;
}

// The loader of the query server's runs: puts the held list of the catalogue `name` (in
// the working directory) behind DB_First and total_number, reading the file first when it
// was not read yet or has changed since (device, inode, size or modification time). A
// new version is read whole before it replaces the old one, whose records are then
// released. Returns catalogue_read; catalogue_unopened or catalogue_no_memory, with the
// message the console program gives, when the file cannot be read (the list held
// before is then released too).
int hold_catalogue(const char* name) {
    held_list& list = list_of(name);
    struct stat seen = {};
    bool found = stat(name, &seen) == 0;
    if (!found || !list.same_file(seen)) {
        held_list fresh;
        fresh.name = name;
        int read = read_fresh(name, seen, fresh);
        if (read != catalogue_read) {
            list.release();
            return read;
        }
        std::swap(list, fresh);
        fresh.release();
    }
    DB_First = record();
    DB_First.next = list.first;
    total_number = list.count;
    return catalogue_read;
}

// Releases every held list.
void release_held_catalogues() {
    for (held_list& list : held)
        list.release();
}

// Memory held by the lists' records, in bytes.
std::size_t held_bytes() {
    std::size_t total = 0;
    for (const held_list& list : held)
        total += list.pool.bytes();
    return total;
}
