// Run slots: files "slot-N" in the spool, each held by one front end with flock while its
// galsift runs. The lock goes with the process, so a front end that is killed gives its
// slot back at once.
#include "cgi/run_slot.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

// How often a waiting front end tries the slots again.
static const int retry_ms = 20;

// Tries every slot once, starting at `first`. Returns the descriptor of the slot taken,
// or -1 when all are held.
static int try_slots(const site& here, int first) {
    for (int n = 0; n < here.runs_limit; n++) {
        std::string name = here.spool + "/slot-" + std::to_string((first + n) % here.runs_limit);
        int slot = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (slot < 0)
            continue;
        if (flock(slot, LOCK_EX | LOCK_NB) == 0)
            return slot;
        close(slot);
    }
    return -1;
}

// Takes one of the site's runs_limit run slots, waiting for one to be given back at most
// wait_limit seconds. Returns the slot (a descriptor, held until give_back_run_slot or the
// process's end), or -1 when none came free in time or the spool cannot hold the slots.
int take_run_slot(const site& here) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(here.wait_limit);
    int first = static_cast<int>(getpid() % here.runs_limit); // spread the first tries
    for (;;) {
        int slot = try_slots(here, first);
        if (slot >= 0 || std::chrono::steady_clock::now() >= give_up)
            return slot;
        std::this_thread::sleep_for(std::chrono::milliseconds(retry_ms));
    }
}

// Gives a slot back for the next run.
void give_back_run_slot(int slot) {
    if (slot >= 0)
        close(slot);
}
