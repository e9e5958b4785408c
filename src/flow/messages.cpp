// Writing messages on standard output, or into a text that collects them.
#include "flow/messages.h"

#include <cassert>
#include <cstdio>

// Where this thread's messages go; null: standard output. Each thread of a process that
// answers queries at once collects its own query's messages.
static thread_local std::string* sink = nullptr;

// Makes every later message of this thread go to the end of `into` (null: standard output
// again).
void say_into(std::string* into) {
    sink = into;
}

// Writes `text` where messages go.
static void put(const char* text) {
    if (sink)
        sink->append(text);
    else
        std::fputs(text, stdout);
}

// Writes one message as it stands.
void say(const char* text) {
    put(text);
}

// Writes a message that names a file: the text, the name, a line end.
void say_with_name(const char* text, const char* name) {
    put(text);
    put(name);
    put("\n");
}

// Writes the report of a stop character that was not found (never the zero byte).
void say_stop_signal_lost(char stop) {
    assert(stop != 0);
    const char character[] = {stop, 0};
    put(messages::stop_signal_head);
    put(character);
    put(messages::stop_signal_tail);
}
