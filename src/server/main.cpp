// galsift-server: the query server of a catalogue's web site, a FastCGI program that the
// web server starts (or that spawn-fcgi starts for it) with its listening socket as
// standard input, or that listens itself (--listen ADDRESS). It reads each epoch's
// catalogue into a store when it starts, and again in the background when its file
// changes, and answers many queries at once from the stores: each query is decoded into
// its bounds, its entries selected through the store's index, and its page written by the
// program's own page writer, byte for byte the page galsift writes.
#include "server/answer_pictures.h"
#include "server/answer_results.h"
#include "server/fcgi_response.h"
#include "server/held_site.h"
#include "server/server_context.h"
#include "web/response.h"

#include "version.h"

#include <fcgiapp.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

static server_context server; // settings from start-up; the turns guard themselves
static int listening = 0;     // the listening socket: standard input, or one of our own

// ---- Routes ----

struct route {
    const char* path;
    answer_function answer;
};
static const route routes[] = {
    {"/results", answer_results},
    {"/cone", answer_cone_search},
    {"/coverage.svg", answer_coverage},
};

// The request's path: SCRIPT_NAME when the web server sets it to a path of ours, else
// REQUEST_URI up to its query.
static std::string request_path(FCGX_Request& request) {
    const char* script = FCGX_GetParam("SCRIPT_NAME", request.envp);
    if (script)
        for (const route& known : routes)
            if (std::strcmp(script, known.path) == 0)
                return script;
    const char* uri = FCGX_GetParam("REQUEST_URI", request.envp);
    std::string path = uri ? uri : "";
    return path.substr(0, path.find('?'));
}

static void answer(FCGX_Request& request) {
    std::string path = request_path(request);
    for (const route& known : routes) {
        if (path == known.path) {
            known.answer(request, server);
            return;
        }
    }
    send_whole(request,
               messages_response(404, "Not found", "nothing is answered at this address\n"));
}

// One of the threads that accept requests: each answers its request whole (a long answer
// at the pace of its reader), then accepts the next. There are more of them than queries
// may wait and workers may answer, so that a query over the queue limit is answered 503 at
// once rather than left unaccepted.
static void serve() {
    FCGX_Request request;
    FCGX_InitRequest(&request, listening, 0);
    while (FCGX_Accept_r(&request) >= 0) {
        answer(request);
        FCGX_Finish_r(&request);
    }
}

// At TERM (the web server stopping, or an administrator taking one of several servers
// away) no request is accepted any more: the listening socket is shut, so that the web
// server passes new queries to another server, and every query accepted is answered
// before the process ends.
static void stop_accepting(int) {
    shutdown(listening, SHUT_RDWR);
}

// Started from a shell with --version alone, prints the version; otherwise serves.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("galsift-server %s\n", GALSIFT_VERSION);
        return 0;
    }
    std::string why;
    if (!read_server_settings(argc, argv, server.settings, why)) {
        std::fprintf(stderr, "galsift-server: %s\nusage: galsift-server [--listen ADDRESS]\n",
                     why.c_str());
        return 2;
    }
    signal(SIGPIPE, SIG_IGN); // a visitor gone away is a failed write, not the end
#ifdef __GLIBC__
    // Answers and the stores' columns (megabytes each) are mapped on their own and given
    // back to the system when freed; with glibc's sliding threshold they would stay in the
    // heaps of the threads that used them.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    const server_settings& settings = server.settings;
    page_charset = settings.here.charset;
    server.turns.workers = settings.workers;
    server.turns.queue_limit = settings.here.queue_limit;
    server.turns.wait_limit = settings.here.wait_limit;
    if (FCGX_Init() != 0) {
        std::fprintf(stderr, "galsift-server: the FastCGI library cannot start\n");
        return 1;
    }
    if (!settings.listen.empty()) {
        listening = FCGX_OpenSocket(settings.listen.c_str(), 128);
        if (listening < 0) {
            std::fprintf(stderr, "galsift-server: cannot listen at %s\n", settings.listen.c_str());
            return 1;
        }
    } else if (FCGX_IsCGI()) {
        std::fprintf(stderr, "galsift-server: standard input is not a FastCGI socket\n");
        return 1;
    }
    struct sigaction stop = {};
    stop.sa_handler = stop_accepting;
    sigaction(SIGTERM, &stop, nullptr);

    // The site's folder is the working directory: its files are named as galsift names them.
    if (chdir(settings.here.pages.c_str()) != 0) {
        std::fprintf(stderr, "galsift-server: no site folder %s\n", settings.here.pages.c_str());
        return 1;
    }
    hold_site(); // queries arriving meanwhile wait in the socket's backlog
    std::fprintf(stderr, "galsift-server: serving %s with %d workers\n",
                 settings.here.pages.c_str(), settings.workers);
    std::thread(watch_site).detach();
    std::vector<std::thread> threads;
    for (int n = 0; n < settings.here.queue_limit + 2 * settings.workers + 2; n++)
        threads.emplace_back(serve);
    for (std::thread& thread : threads)
        thread.join(); // each ends when accepting fails: at TERM
    std::fprintf(stderr, "galsift-server: stopped\n");
    std::fflush(stderr);
    _exit(0); // the watcher may be reading a file: nothing of the process is torn down

}
