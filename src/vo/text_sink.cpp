// Handing a sink's bytes on.
#include "vo/text_sink.h"

#include <cstring>

// Appends a text as it stands, up to its zero byte.
void text_sink::put(const char* text) {
    put(text, std::strlen(text));
}

// Hands every held byte to `deliver`; without one, keeps them. After a failed delivery
// the bytes are dropped.
void text_sink::flush() {
    if (!deliver || held.empty())
        return;
    if (!failed && !deliver(to, held.data(), held.size()))
        failed = true;
    held.clear();
}
