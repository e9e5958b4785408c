// text_sink: where the tables are written. Bytes are gathered and handed on in large
// pieces to a deliver function (a front end's connection), or kept whole when there is
// none (small answers, tests).
#ifndef GALSIFT_VO_TEXT_SINK_H
#define GALSIFT_VO_TEXT_SINK_H

#include <cstddef>
#include <string>

struct text_sink {
    static const std::size_t piece = 1 << 16; // bytes gathered before they are handed on

    // Hands `length` bytes to `to` and returns true, or false when they could not be
    // taken; null keeps every byte in `held`.
    bool (*deliver)(void* to, const char* bytes, std::size_t length) = nullptr;
    void* to = nullptr;
    std::string held;    // bytes not yet handed on
    bool failed = false; // a delivery failed: nothing more is handed on

    void put(const char* bytes, std::size_t length) {
        held.append(bytes, length);
        if (deliver && held.size() >= piece)
            flush();
    }
    void put(const std::string& text) { put(text.data(), text.size()); }
    void put(const char* text);
    void flush();
};

#endif
