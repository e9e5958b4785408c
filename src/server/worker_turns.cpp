// Handing out the workers' turns in arrival order.
#include "server/worker_turns.h"

#include <algorithm>
#include <cassert>
#include <chrono>

bool take_turn(worker_turns& turns, const void* who) {
    std::unique_lock<std::mutex> hold(turns.lock);
    if (turns.held < turns.workers && turns.waiting.empty()) {
        turns.held++;
        return true;
    }
    if (turns.waiting.size() >= static_cast<std::size_t>(turns.queue_limit))
        return false;
    turns.waiting.push_back(who);
    bool turn = turns.changed.wait_for(hold, std::chrono::seconds(turns.wait_limit), [&] {
        return turns.held < turns.workers && turns.waiting.front() == who;
    });
    turns.waiting.erase(std::find(turns.waiting.begin(), turns.waiting.end(), who));
    if (turn)
        turns.held++;
    turns.changed.notify_all(); // the next one may now be first
    return turn;
}

void give_turn(worker_turns& turns) {
    std::lock_guard<std::mutex> hold(turns.lock);
    assert(turns.held > 0);
    turns.held--;
    turns.changed.notify_all();
}
