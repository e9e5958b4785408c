// worker_turns: the turns of the server's workers. A query takes a turn to select and write
// its answer; as many queries as there are workers hold one at once, a bounded number wait
// for one in arrival order, each for a while, and the others are turned away.
#ifndef GALSIFT_SERVER_WORKER_TURNS_H
#define GALSIFT_SERVER_WORKER_TURNS_H

#include <condition_variable>
#include <deque>
#include <mutex>

struct worker_turns {
    int workers = 1;     // turns held at once
    int queue_limit = 0; // queries that may wait at once
    int wait_limit = 0;  // seconds a query may wait

    std::mutex lock;                 // guards the two below
    int held = 0;                    // turns held now
    std::deque<const void*> waiting; // the queries waiting, oldest first
    std::condition_variable changed; // signalled when a turn is given back or the queue moves
};

// Takes a turn for `who` (any address that names the query while it waits). Returns true
// with the turn held; false when every turn is held and queue_limit queries wait already,
// or when the wait limit passed first.
bool take_turn(worker_turns& turns, const void* who);

// Gives a turn back.
void give_turn(worker_turns& turns);

// A turn taken for one request, given back when the answer no longer needs it.
struct held_turn {
    worker_turns& turns;
    bool held;
    held_turn(worker_turns& of, const void* who) : turns(of), held(take_turn(of, who)) {}
    ~held_turn() { give_back(); }
    void give_back() {
        if (held)
            give_turn(turns);
        held = false;
    }
};

#endif
