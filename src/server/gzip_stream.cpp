// Compressing an answer's body with zlib.
#include "server/gzip_stream.h"

#include <cstring>

bool gzip_stream::start() {
    // 15 bits of window, +16 for the gzip wrapper; memory level 8 (zlib's default).
    started = deflateInit2(&state, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    return started;
}

bool gzip_stream::put(const char* bytes, std::size_t length, bool last, std::string& out) {
    char piece[16384];
    state.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes));
    state.avail_in = static_cast<uInt>(length);
    int flush = last ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
        state.next_out = reinterpret_cast<Bytef*>(piece);
        state.avail_out = sizeof piece;
        int result = deflate(&state, flush);
        if (result == Z_STREAM_ERROR)
            return false;
        out.append(piece, sizeof piece - state.avail_out);
        if (last ? result == Z_STREAM_END : state.avail_in == 0 && state.avail_out != 0)
            return true;
    }
}

void gzip_stream::end() {
    if (started)
        deflateEnd(&state);
    started = false;
}

// The header is a list of codings, each with an optional ";q=" weight: gzip (or x-gzip)
// is accepted unless its weight is 0.
bool accepts_gzip(const char* accept_encoding) {
    if (!accept_encoding)
        return false;
    std::string list = accept_encoding;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        std::string coding =
            list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::size_t semicolon = coding.find(';');
        std::string name = coding.substr(0, semicolon);
        name.erase(0, name.find_first_not_of(" \t"));
        name.erase(name.find_last_not_of(" \t") + 1);
        for (char& c : name)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (name == "gzip" || name == "x-gzip") {
            std::size_t weight = coding.find("q=", semicolon == std::string::npos ? 0 : semicolon);
            if (semicolon == std::string::npos || weight == std::string::npos)
                return true;
            return std::strtod(coding.c_str() + weight + 2, nullptr) > 0;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}
