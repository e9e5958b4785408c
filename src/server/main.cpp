// galsift-server: the query server of a catalogue's web site, a FastCGI program that the
// web server starts (or that spawn-fcgi starts for it) with its listening socket as
// standard input. It reads each epoch's catalogue once with the program's own stages,
// holds it, and answers each query by running the other stages against the held list, in
// a directory of the request's own, one query at a time: the answers are those of
// galsift-cgi, byte for byte, without reading the catalogue again.
#include "cgi/request_dir.h"
#include "cgi/site.h"
#include "server/query_run.h"
#include "vo/result_formats.h"
#include "web/form.h"
#include "web/form_data.h"
#include "web/response.h"

#include "version.h"

#include <fcgiapp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

static site here;            // the settings, read once at start-up
static answer_limits limits; // the longest page and cone search answer, likewise

// ---- Taking turns: one query runs the stages; a bounded number wait, each for a while ----

static std::timed_mutex stages_turn; // held by the one thread running the stages
static std::mutex waiting_lock;      // guards `waiting`
static int waiting = 0;              // queries waiting for the turn

static long long now_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// When the running query started, in now_ms() time; 0 while no query runs.
static std::atomic<long long> run_started{0};

// Waits for the turn to run the stages, at most the wait limit. Returns true with the
// turn held; false when queue_limit queries wait already or the wait limit passed.
static bool take_turn() {
    {
        std::lock_guard<std::mutex> hold(waiting_lock);
        if (waiting >= here.queue_limit)
            return false;
        waiting++;
    }
    bool taken = stages_turn.try_lock_for(std::chrono::seconds(here.wait_limit));
    std::lock_guard<std::mutex> hold(waiting_lock);
    waiting--;
    return taken;
}

// Ends the server when a query has run past the time limit: a thread cannot be stopped
// from outside, and the web server starts a new server (visitors get 503 meanwhile).
// Ends it too when the web server that started it has ended (`parent` is no longer the
// parent): the listening socket stays open in the server alone, and nothing would
// arrive on it again. A server started by spawn-fcgi (`parent` 1) has no such parent.
static void watch_runs(pid_t parent) {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (parent != 1 && getppid() != parent) {
            std::fprintf(stderr, "galsift-server: the web server has ended; stopping\n");
            _exit(0);
        }
        long long started = run_started.load();
        if (started && now_ms() - started > here.time_limit * 1000LL) {
            std::fprintf(stderr, "galsift-server: a query ran past %d s; stopping\n",
                         here.time_limit);
            _exit(1);
        }
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
static std::string answer_results(FCGX_Request& request) {
    std::string data, why;
    query_fields fields;
    result_choice choice;
    request_reader reader{request_variable, read_body, &request};
    if (!read_form_data(reader, data, why) || !take_result_choice(data, choice, why) ||
        decode_form(data, fields, why) != form_ok)
        return messages_response(400, "The query was refused", why + "\n");
    if (!take_turn())
        return busy_response(here.wait_limit);
    sweep_spool(here);
    run_started = now_ms();
    std::string answer = answer_query(here, fields, choice, limits.page_rows, data);
    run_started = 0;
    stages_turn.unlock();
    return answer;
}

// The answer at /cone: a cone search over the held J2000 catalogue, in turn.
static std::string answer_cone(FCGX_Request& request) {
    const char* query = FCGX_GetParam("QUERY_STRING", request.envp);
    if (!take_turn())
        return busy_response(here.wait_limit);
    run_started = now_ms();
    std::string answer =
        answer_cone_query(here, query ? query : "", static_cast<std::size_t>(limits.cone_rows));
    run_started = 0;
    stages_turn.unlock();
    return answer;
}

// What the server answers, by the path of the request.
struct route {
    const char* path;
    std::string (*answer)(FCGX_Request& request);
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

static std::string answer(FCGX_Request& request) {
    std::string path = request_path(request);
    for (const route& known : routes)
        if (path == known.path)
            return known.answer(request);
    return messages_response(404, "Not found", "nothing is answered at this address\n");
}

// One of the threads that accept requests: each answers its request whole, then accepts
// the next. There are more of them than queries may wait, so that a query over the queue
// limit is answered 503 at once rather than left unaccepted.
static void serve() {
    FCGX_Request request;
    FCGX_InitRequest(&request, 0, 0);
    while (FCGX_Accept_r(&request) >= 0) {
        std::string response = answer(request);
        FCGX_PutStr(response.data(), static_cast<int>(response.size()), request.out);
        FCGX_Finish_r(&request);
    }
}

// Started from a shell with --version alone, prints the version; otherwise serves.
int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("galsift-server %s\n", GALSIFT_VERSION);
        return 0;
    }
    signal(SIGPIPE, SIG_IGN); // a visitor gone away is a failed write, not the end
    here = site_settings();
    limits = answer_limits_settings();
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
    // its shutdown must end the server now, as nothing may arrive any more.
    signal(SIGTERM, SIG_DFL);
    sweep_spool(here);
    std::thread(watch_runs, getppid()).detach();
    std::vector<std::thread> threads;
    for (int n = 0; n < here.queue_limit + 2; n++)
        threads.emplace_back(serve);
    for (std::thread& thread : threads)
        thread.join();
    return 0;
}
