// Sending answers through libfcgi, held or streamed.
#include "server/fcgi_response.h"

#include "server/worker_turns.h"

#include <cassert>
#include <cstring>

// Writes `length` bytes on the request's output. Returns false when the write failed.
static bool write_out(FCGX_Request& request, const char* bytes, std::size_t length) {
    while (length > 0) {
        int piece = length > (1 << 30) ? 1 << 30 : static_cast<int>(length);
        if (FCGX_PutStr(bytes, piece, request.out) != piece)
            return false;
        bytes += piece;
        length -= static_cast<std::size_t>(piece);
    }
    return true;
}

// Sends the head without a length and what is held, and gives the turn back: from now on
// the body goes out as it is written.
static void start_streaming(fcgi_response& response) {
    assert(!response.streaming && !response.head_only);
    response.streaming = true;
    if (response.turns) {
        give_turn(*response.turns);
        response.turns = nullptr;
    }
    std::string head = response.head + "\r\n";
    if (!write_out(*response.request, head.data(), head.size()) ||
        !write_out(*response.request, response.held.data(), response.held.size()))
        response.broken = true;
    std::string().swap(response.held);
}

void open_response(fcgi_response& response, FCGX_Request& request, const std::string& head) {
    response.request = &request;
    response.head = head + "Vary: Accept-Encoding\r\n";
    response.head_only = is_head_request(request);
    if (accepts_gzip(FCGX_GetParam("HTTP_ACCEPT_ENCODING", request.envp)) && response.gzip.start())
        response.head += "Content-Encoding: gzip\r\n";
}

// Takes `length` bytes of the body as they go out (compressed already, if at all).
static bool take_body(fcgi_response& response, const char* bytes, std::size_t length) {
    response.length += length;
    if (response.streaming) {
        if (!write_out(*response.request, bytes, length))
            response.broken = true;
        return !response.broken;
    }
    if (std::chrono::steady_clock::now() > response.deadline) {
        response.late = true;
        return false;
    }
    if (response.head_only)
        return true;
    response.held.append(bytes, length);
    if (response.held.size() > response.hold_limit)
        start_streaming(response);
    return !response.broken;
}

bool deliver_to_response(void* to, const char* bytes, std::size_t length) {
    fcgi_response& response = *static_cast<fcgi_response*>(to);
    if (response.late || response.broken)
        return false;
    if (!response.gzip.started)
        return take_body(response, bytes, length);
    std::string packed;
    if (!response.gzip.put(bytes, length, false, packed)) {
        response.broken = true;
        return false;
    }
    return take_body(response, packed.data(), packed.size());
}

int finish_response(fcgi_response& response) {
    if (response.gzip.started) {
        std::string tail;
        if (!response.late && !response.broken &&
            (!response.gzip.put(nullptr, 0, true, tail) ||
             !take_body(response, tail.data(), tail.size())))
            response.broken = true;
        response.gzip.end();
    }
    if (response.streaming) {
        if (response.broken || FCGX_FFlush(response.request->out) != 0) {
            FCGX_Free(response.request, 1); // no end of request: the transfer fails
            return response_cut_off;
        }
        return response_sent;
    }
    if (response.late || std::chrono::steady_clock::now() > response.deadline)
        return response_late;
    // Head and body in one piece: the web server has the whole answer at once.
    std::string whole = response.head + "Content-Length: " + std::to_string(response.length) +
                        "\r\n\r\n" + response.held;
    write_out(*response.request, whole.data(), whole.size());
    return response_sent;
}

bool send_whole(FCGX_Request& request, const std::string& whole) {
    std::size_t length = whole.size();
    if (is_head_request(request)) {
        std::size_t end = whole.find("\r\n\r\n");
        length = end == std::string::npos ? whole.size() : end + 4;
    }
    return write_out(request, whole.data(), length);
}

bool is_head_request(FCGX_Request& request) {
    const char* method = FCGX_GetParam("REQUEST_METHOD", request.envp);
    return method && std::strcmp(method, "HEAD") == 0;
}
