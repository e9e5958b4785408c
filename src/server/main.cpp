// galsift-server: the query server of a catalogue's web site, a FastCGI program that the
// web server starts (or that spawn-fcgi starts for it) with its listening socket as
// standard input, or that listens itself (--listen ADDRESS). It reads each epoch's
// catalogue into a store when it starts, and again in the background when its file
// changes, and answers many queries at once from the stores: each query is decoded into
// its bounds, its entries selected through the store's index, and its page written by the
// program's own page writer, byte for byte the page galsift writes. It also answers the
// cone search, the form's coverage map and the documents that describe the site to the
// Virtual Observatory, and prints the site's registry record (--record [FOLDER]).
#include "server/answer_pictures.h"
#include "server/answer_results.h"
#include "server/answer_tap.h"
#include "server/answer_vosi.h"
#include "server/fcgi_response.h"
#include "server/held_site.h"
#include "server/server_context.h"
#include "web/response.h"

#include "version.h"

#include <fcgiapp.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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
    {"/query.htm", answer_query_form},
    {"/", answer_query_form}, // the site's index
    {"/coverage.svg", answer_coverage},
    {"/capabilities", answer_capabilities},
    {"/availability", answer_availability},
    {"/tables", answer_tables},
    {"/tables/cone", answer_tables},
    {"/tables/selection", answer_tables},
    {"/record", answer_record},
    {"/moc", answer_moc},
};

// The request's path: SCRIPT_NAME (then PATH_INFO) when the web server sets it to a path
// of ours, else REQUEST_URI up to its query. A SCRIPT_NAME of "/" alone is not taken: a web
// server that passes us all of a folder may name the folder so for every request.
static std::string request_path(FCGX_Request& request) {
    const char* script = FCGX_GetParam("SCRIPT_NAME", request.envp);
    const char* more = FCGX_GetParam("PATH_INFO", request.envp);
    std::string asked = std::string(script ? script : "") + (more ? more : "");
    if (asked != "/")
        for (const route& known : routes)
            if (asked == known.path)
                return asked;
    const char* uri = FCGX_GetParam("REQUEST_URI", request.envp);
    std::string path = uri ? uri : "";
    return path.substr(0, path.find('?'));
}

static void answer(FCGX_Request& request) {
    std::string path = request_path(request);
    if (path == "/tap" || path.compare(0, 5, "/tap/") == 0) {
        answer_tap(request, server);
        return;
    }
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
// away) the server stops accepting and ends once every query it accepted is answered. The
// connections already waiting in the listening socket's queue are accepted first (for at
// most `drain_limit`): shutting a socket with connections queued would reset them, and
// the web server would answer those visitors with an error rather than try another
// server. Once the queue is empty the socket is shut: later connections are refused, and
// the web server passes them to another server. Runs on a thread of its own, with TERM
// blocked in every other thread.
static void stop_at_term(sigset_t term) {
    int signal_number = 0;
    sigwait(&term, &signal_number);
    const auto drain_limit = std::chrono::seconds(5);
    auto until = std::chrono::steady_clock::now() + drain_limit;
    pollfd waiting{listening, POLLIN, 0};
    while (std::chrono::steady_clock::now() < until && poll(&waiting, 1, 0) > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    shutdown(listening, SHUT_RDWR); // the accepting threads' accept() fails: they end
}

// The registry record of the site in `folder` (else GALSIFT_PAGES's) on standard output.
static int record_command(const char* folder) {
    server_settings settings;
    std::string why;
    read_server_settings(1, nullptr, settings, why);
    const char* pages = folder ? folder : settings.here.pages.c_str();
    if (chdir(pages) != 0) {
        std::fprintf(stderr, "galsift-server: no site folder %s\n", pages);
        return 1;
    }
    return print_record(settings);
}

// Started from a shell with --version alone, prints the version; with --record [FOLDER],
// the site's registry record; otherwise serves.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("galsift-server %s\n", GALSIFT_VERSION);
        return 0;
    }
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "--record") == 0)
        return record_command(argc == 3 ? argv[2] : nullptr);
    std::string why;
    if (!read_server_settings(argc, argv, server.settings, why)) {
        std::fprintf(stderr,
                     "galsift-server: %s\nusage: galsift-server [--listen ADDRESS] | "
                     "--record [FOLDER]\n",
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
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &term, nullptr); // every thread started below inherits it

    // The site's folder is the working directory: its files are named as galsift names them.
    if (chdir(settings.here.pages.c_str()) != 0) {
        std::fprintf(stderr, "galsift-server: no site folder %s\n", settings.here.pages.c_str());
        return 1;
    }
    hold_site(); // queries arriving meanwhile wait in the socket's backlog
    if (!start_tap_service(settings.here.spool, why)) {
        std::fprintf(stderr, "galsift-server: %s\n", why.c_str());
        return 1;
    }
    std::fprintf(stderr, "galsift-server: serving %s with %d workers\n",
                 settings.here.pages.c_str(), settings.workers);
    std::thread(watch_site).detach();
    std::thread(stop_at_term, term).detach();
    std::vector<std::thread> threads;
    for (int n = 0; n < settings.here.queue_limit + 2 * settings.workers + 2; n++)
        threads.emplace_back(serve);
    for (std::thread& thread : threads)
        thread.join(); // each ends when accepting fails: at TERM
    std::fprintf(stderr, "galsift-server: stopped\n");
    std::fflush(stderr);
    _exit(0); // the watcher may be reading a file: nothing of the process is torn down
}
