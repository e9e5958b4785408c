// A query's own time: from its start, less the time spent reading a catalogue (bounded by
// the file, not by the query, and paid once for many queries).
#include "server/run_clock.h"

#include <atomic>
#include <chrono>

static std::atomic<long long> started{0}; // start of the run, moved on by each read; 0: none
static std::atomic<long long> paused{0};  // start of the read under way; 0: none

static long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() + 1;
}

// A query starts.
void start_run_clock() {
    paused = 0;
    started = now_ms();
}

// The query has ended.
void stop_run_clock() {
    started = 0;
}

// A catalogue read starts: its time does not count.
void pause_run_clock() {
    paused = now_ms();
}

// The read has ended: the start moves on by its length.
void resume_run_clock() {
    long long read_started = paused.exchange(0);
    if (read_started && started)
        started += now_ms() - read_started;
}

// Milliseconds the running query has taken, reads left out; 0 while none runs or a read
// is under way.
long long run_clock_ms() {
    long long start = started;
    if (!start || paused)
        return 0;
    return now_ms() - start;
}
