// Run slots: files "slot-N" in the spool, each held by one front end with flock while its
// galsift runs. The lock goes with the process, so a front end that is killed gives its
// slot back at once.
//
// Front ends wait for a slot in arrival order: each first passes the turnstile
// "slot-queue", a lock the kernel hands to its waiters in turn, and only the one holding
// it looks for a free slot. A front end that arrives as a slot is given back so cannot
// take it ahead of one that has waited.
#include "cgi/run_slot.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

// How often the front end in the turnstile tries the slots again.
static const int retry_ms = 20;

// Set by SIGALRM when a front end's time in the turnstile's queue is over.
static volatile sig_atomic_t wait_over = 0;

static void end_wait(int) {
    wait_over = 1;
}

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

// Locks `door` exclusively, waiting in the kernel's queue at most `seconds`. A timer
// interrupts the wait; it repeats every 50 ms after the first expiry, so that an expiry
// that falls just before flock blocks still ends the wait. Returns true when locked.
static bool lock_within(int door, int seconds) {
    if (flock(door, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (seconds <= 0)
        return false;
    struct sigaction on_alarm = {}, before = {};
    on_alarm.sa_handler = end_wait;
    sigemptyset(&on_alarm.sa_mask); // no SA_RESTART: the signal ends flock with EINTR
    sigaction(SIGALRM, &on_alarm, &before);
    itimerval timer = {}, none = {};
    timer.it_value.tv_sec = seconds;
    timer.it_interval.tv_usec = 50000;
    wait_over = 0;
    setitimer(ITIMER_REAL, &timer, nullptr);
    int locked;
    while ((locked = flock(door, LOCK_EX)) != 0 && errno == EINTR && !wait_over) {
    }
    setitimer(ITIMER_REAL, &none, nullptr);
    sigaction(SIGALRM, &before, nullptr);
    return locked == 0;
}

// Takes one of the site's runs_limit run slots, waiting in arrival order for one to be
// given back at most wait_limit seconds in all. Returns the slot (a descriptor, held until
// give_back_run_slot or the process's end), or -1 when none came free in time or the
// spool cannot hold the slots. Uses SIGALRM and the real-time timer while it waits.
int take_run_slot(const site& here) {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(here.wait_limit);
    std::string queue = here.spool + "/slot-queue";
    int door = open(queue.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (door < 0)
        return -1;
    int slot = -1;
    if (lock_within(door, here.wait_limit)) {
        int first = static_cast<int>(getpid() % here.runs_limit); // spread the first tries
        while ((slot = try_slots(here, first)) < 0 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(retry_ms));
    }
    close(door); // lets the next front end in
    return slot;
}

// Gives a slot back for the next run.
void give_back_run_slot(int slot) {
    if (slot >= 0)
        close(slot);
}
