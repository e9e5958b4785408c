// fcgi_response: one answer on its way to the web server. Its body is held until it ends,
// and then sent whole with its length; a body that grows past hold_limit goes out as it is
// written instead, at the pace the reader takes it, with no length, so that a slow reader
// costs neither memory nor disk. A streamed answer that cannot be finished is cut off at
// the connection: the web server then ends the visitor's transfer as failed, never as a
// complete answer.
//
// While the query holds a worker's turn, the answer must be written by a deadline; the
// turn is given back as soon as the body is streamed, and the deadline then no longer
// counts (the reader sets the pace).
#ifndef GALSIFT_SERVER_FCGI_RESPONSE_H
#define GALSIFT_SERVER_FCGI_RESPONSE_H

#include "server/gzip_stream.h"

#include <fcgiapp.h>

#include <chrono>
#include <cstddef>
#include <string>

struct worker_turns;

struct fcgi_response {
    FCGX_Request* request = nullptr;
    std::string head; // "Status:" and the other headers, each ending in CR LF,
                      // without Content-Length and the blank line
    std::string held; // body bytes not yet sent
    std::size_t hold_limit = 1 << 20;
    bool head_only = false;        // a HEAD request: the body is counted, never sent
    std::size_t length = 0;        // body bytes written so far
    bool streaming = false;        // the head has gone out: the body follows as written
    bool late = false;             // the deadline passed before the answer was written
    bool broken = false;           // a write to the web server failed
    worker_turns* turns = nullptr; // the turn held while the answer is written, if any
    gzip_stream gzip;              // the body's compression, when gzip.started
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

// Prepares `response` for `request` with `head` (without its length), compressing the body
// when the visitor accepts gzip.
void open_response(fcgi_response& response, FCGX_Request& request, const std::string& head);

// The deliver function of the answer's writers (page_writer, text_sink): `to` is an
// fcgi_response. Returns false once the answer is late or broken.
bool deliver_to_response(void* to, const char* bytes, std::size_t length);

// Results of finish_response.
const int response_sent = 0;    // the whole answer went out
const int response_late = 1;    // the deadline passed before anything was sent: nothing
                                // was sent, the caller answers otherwise
const int response_cut_off = 2; // part of a streamed answer went out and the rest cannot:
                                // the connection has been cut (the request is freed)

// Ends the answer: sends the head with the body's length and the body when it is held
// whole; ends the stream when it was streamed. Returns one of the results above.
int finish_response(fcgi_response& response);

// Sends a whole response built beforehand ("Status:", headers, blank line, body); for a
// HEAD request the body is left out. Returns false when the write failed.
bool send_whole(FCGX_Request& request, const std::string& whole);

// Whether the request is a HEAD.
bool is_head_request(FCGX_Request& request);

#endif
