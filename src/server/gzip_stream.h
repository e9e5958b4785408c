// gzip_stream: an answer's body compressed as it is written, for a visitor whose client
// accepts gzip (zlib, Debian's zlib1g-dev). The web server passes answers on as they come
// without holding them whole, so it cannot compress them itself.
#ifndef GALSIFT_SERVER_GZIP_STREAM_H
#define GALSIFT_SERVER_GZIP_STREAM_H

#include <zlib.h>

#include <cstddef>
#include <string>

struct gzip_stream {
    z_stream state{};     // zlib's
    bool started = false; // `state` is initialised and must be ended

    // Starts a gzip stream at the fastest level. Returns false when zlib cannot.
    bool start();
    // Compresses `length` bytes, appending what comes out to `out`; with `last`, also the
    // end of the stream. Returns false when zlib failed.
    bool put(const char* bytes, std::size_t length, bool last, std::string& out);
    // Frees zlib's state.
    void end();
};

// Whether an Accept-Encoding header's value (null: none) accepts gzip.
bool accepts_gzip(const char* accept_encoding);

#endif
