// Writing messages on standard output.
#include "flow/messages.h"

#include <cstdio>

// Writes one message as it stands.
void say(const char* text) {
    std::fputs(text, stdout);
}

// Writes a message that names a file: the text, the name, a line end.
void say_with_name(const char* text, const char* name) {
    std::fputs(text, stdout);
    std::fputs(name, stdout);
    std::fputs("\n", stdout);
}

// Writes the report of a stop character that was not found.
void say_stop_signal_lost(char stop) {
    std::fputs(messages::stop_signal_head, stdout);
    std::fputc(stop, stdout);
    std::fputs(messages::stop_signal_tail, stdout);
}
