// galsift-server: the query server of a catalogue's web site, a FastCGI program that the
// web server starts (or that spawn-fcgi starts for it) with its listening socket as
// standard input. It reads each epoch's catalogue once with the program's own stages,
// holds it, and answers each query by running the other stages against the held list, in
// a directory of the request's own, one query at a time: the answers are those of
// galsift-cgi, byte for byte, without reading the catalogue again.
#include "cgi/request_dir.h"
#include "cgi/site.h"
#include "server/query_run.h"
#include "server/run_clock.h"
#include "vo/result_formats.h"
#include "web/form.h"
#include "web/form_data.h"
#include "web/response.h"
#include "web/run_answer.h"

#include "version.h"

#include <fcgiapp.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

static char** arguments;     // the command line, to start the server anew in place
static site here;            // the settings, read once at start-up
static answer_limits limits; // the longest page and cone search answer, likewise

// ---- Taking turns: one query runs the stages; a bounded number wait, each for a while ----

static std::mutex turn_lock;                    // guards the five below
static std::condition_variable turn_free;       // signalled when the turn or the queue changes
static bool running = false;                    // a query holds the turn
static bool stopping = false;                   // the server is ending: no more turns
static std::deque<FCGX_Request*> queue;         // requests waiting for the turn, oldest first
static FCGX_Request* running_request = nullptr; // the request of the query that runs

// Takes the turn to run the stages for `request`, waiting for it in arrival order at most
// the wait limit. Returns true with the turn held; false when the turn is taken and
// queue_limit requests wait already, when the wait limit passed, or when the server is
// ending.
static bool take_turn(FCGX_Request& request) {
    std::unique_lock<std::mutex> hold(turn_lock);
    if (stopping)
        return false;
    if (running || !queue.empty()) {
        if (queue.size() >= static_cast<std::size_t>(here.queue_limit))
            return false;
        queue.push_back(&request);
        bool turn = turn_free.wait_for(hold, std::chrono::seconds(here.wait_limit), [&] {
            return stopping || (!running && queue.front() == &request);
        });
        queue.erase(std::find(queue.begin(), queue.end(), &request));
        turn_free.notify_all(); // the next one may now be first
        if (!turn || stopping)
            return false;
    }
    running = true;
    running_request = &request;
    return true;
}

// Gives the turn back. Returns false when the server is ending and the watchdog has
// answered the request instead: it must then be left alone.
static bool give_turn() {
    std::lock_guard<std::mutex> hold(turn_lock);
    running = false;
    running_request = nullptr;
    turn_free.notify_all();
    return !stopping;
}

static void send(FCGX_Request& request, const std::string& response) {
    FCGX_PutStr(response.data(), static_cast<int>(response.size()), request.out);
}

// Starts the server anew in this process after a query ran past the time limit (a thread
// cannot be stopped from outside): that query is answered as galsift-cgi answers a run it
// had to stop (500), every waiting query gets a 503, then the program is executed again.
// The listening socket (standard input) stays open across the exec, so requests that
// arrive meanwhile wait in its backlog for the new server instead of finding none; every
// other descriptor is closed first. The stuck thread writes nothing more once `stopping`
// is set. Only when the exec fails does the process end, for the web server to start a
// new one.
static void cut_off() {
    std::unique_lock<std::mutex> hold(turn_lock);
    stopping = true;
    turn_free.notify_all();
    if (running_request) {
        send(*running_request,
             messages_response(500, "The site cannot answer now", "the query did not finish\n"));
        FCGX_Finish_r(running_request);
    }
    std::fprintf(stderr, "galsift-server: a query ran past %d s; stopping\n", here.time_limit);
    for (int wait = 0; wait < 200 && !queue.empty(); wait++) { // at most 2 s for the 503s
        hold.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        hold.lock();
    }
    hold.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the 503s are written
    for (int descriptor = static_cast<int>(sysconf(_SC_OPEN_MAX)) - 1; descriptor > 2; descriptor--)
        close(descriptor);
    execv("/proc/self/exe", arguments);
    std::fprintf(stderr, "galsift-server: cannot start anew: %s\n", std::strerror(errno));
    _exit(1);
}

// Watches the running query's time (catalogue reads left out) and cuts it off past the
// time limit.
static void watch_runs() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (run_clock_ms() > here.time_limit * 1000LL)
            cut_off();
    }
}

// ---- Requests ----

static const char* request_variable(void* request, const char* name) {
    return FCGX_GetParam(name, static_cast<FCGX_Request*>(request)->envp);
}

static std::size_t read_body(void* request, char* into, std::size_t size) {
    int got = FCGX_GetStr(into, static_cast<int>(size), static_cast<FCGX_Request*>(request)->in);
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

// The answer at /results: the query form, checked, then answered by the stages in turn.
// Returns false when the request was answered by the watchdog meanwhile.
static bool answer_results(FCGX_Request& request) {
    std::string data, why;
    query_fields fields;
    result_choice choice;
    request_reader reader{request_variable, read_body, &request};
    if (!read_form_data(reader, data, why) || !take_result_choice(data, choice, why)) {
        send(request, messages_response(400, refused_title, why + "\n"));
        return true;
    }
    std::string refused = answer_before_run(reader, data, fields);
    if (!refused.empty()) {
        send(request, refused);
        return true;
    }
    if (!take_turn(request)) {
        send(request, busy_response(here.wait_limit > 0 ? here.wait_limit : 1));
        return true;
    }
    sweep_spool(here);
    start_run_clock();
    std::string answer = answer_query(here, fields, choice, limits.page_rows, data);
    stop_run_clock();
    if (!give_turn())
        return false;
    send(request, answer);
    return true;
}

// The answer at /cone: a cone search over the held J2000 catalogue, in turn.
static bool answer_cone(FCGX_Request& request) {
    const char* query = FCGX_GetParam("QUERY_STRING", request.envp);
    if (!take_turn(request)) {
        send(request, busy_response(here.wait_limit > 0 ? here.wait_limit : 1));
        return true;
    }
    start_run_clock();
    std::string answer =
        answer_cone_query(here, query ? query : "", static_cast<std::size_t>(limits.cone_rows));
    stop_run_clock();
    if (!give_turn())
        return false;
    send(request, answer);
    return true;
}

// What the server answers, by the path of the request. A handler writes the whole
// response and returns true, or false when the request is no longer its to finish.
struct route {
    const char* path;
    bool (*answer)(FCGX_Request& request);
};
static const route routes[] = {
    {"/results", answer_results},
    {"/cone", answer_cone},
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

static bool answer(FCGX_Request& request) {
    std::string path = request_path(request);
    for (const route& known : routes)
        if (path == known.path)
            return known.answer(request);
    send(request, messages_response(404, "Not found", "nothing is answered at this address\n"));
    return true;
}

// One of the threads that accept requests: each answers its request whole, then accepts
// the next. There are more of them than queries may wait, so that a query over the queue
// limit is answered 503 at once rather than left unaccepted.
static void serve() {
    FCGX_Request request;
    FCGX_InitRequest(&request, 0, 0);
    while (FCGX_Accept_r(&request) >= 0) {
        if (!answer(request))
            for (;;) // the watchdog finished this request and ends the process
                std::this_thread::sleep_for(std::chrono::seconds(1));
        FCGX_Finish_r(&request);
    }
}

// Started from a shell with --version alone, prints the version; otherwise serves.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("galsift-server %s\n", GALSIFT_VERSION);
        return 0;
    }
    arguments = argv;
    signal(SIGPIPE, SIG_IGN); // a visitor gone away is a failed write, not the end
#ifdef __GLIBC__
    // Pages, answers and record blocks (megabytes each) are mapped on their own and given
    // back to the system when freed; with glibc's sliding threshold they would stay in the
    // heaps of the threads that answered, a few megabytes more after each query.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    here = site_settings();
    limits = answer_limits_settings();
    page_charset = here.charset;
    mkdir(here.spool.c_str(), 0700);
    char spool[PATH_MAX];
    if (!realpath(here.spool.c_str(), spool)) {
        std::fprintf(stderr, "galsift-server: no spool folder %s\n", here.spool.c_str());
        return 1;
    }
    here.spool = spool;
    if (FCGX_Init() != 0 || FCGX_IsCGI()) {
        std::fprintf(stderr, "galsift-server: standard input is not a FastCGI socket\n");
        return 1;
    }
    // The library catches TERM to end after the next request; the web server's TERM at
    // its shutdown must end the server now, as nothing may arrive any more (the listening
    // socket stays open in the server alone).
    signal(SIGTERM, SIG_DFL);
    sweep_spool(here);
    std::thread(watch_runs).detach();
    std::vector<std::thread> threads;
    for (int n = 0; n < here.queue_limit + 2; n++)
        threads.emplace_back(serve);
    for (std::thread& thread : threads)
        thread.join();
    return 0;
}
