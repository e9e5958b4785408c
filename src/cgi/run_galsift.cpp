// Starting galsift by exec in the request's directory and collecting its messages.
#include "cgi/run_galsift.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

// The longest message text kept; galsift writes a few short lines.
static const std::size_t messages_limit = 1 << 16;

// The longest single wait for galsift's output, in milliseconds: a stop signal that
// arrives just before a wait is noticed within this time.
static const int wait_step_ms = 100;

// Set when the web server asks the front end to stop (it ends a request whose visitor
// went away, or it shuts down): the run then ends at once, so that the caller still
// removes the request's directory.
static volatile sig_atomic_t stop_asked = 0;

// The handler of the stop signals: only notes the request.
static void ask_stop(int) {
    stop_asked = 1;
}

// Makes TERM, INT and HUP end a run early instead of ending the front end before it has
// cleaned up, and makes a visitor who went away a failed write instead of a SIGPIPE.
void catch_stop_signals() {
    struct sigaction action = {};
    action.sa_handler = ask_stop;
    sigemptyset(&action.sa_mask);
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal_number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

static long long now_ms() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The child's side: working directory, standard streams, then galsift itself with no
// arguments and an empty environment, as it expects nothing else.
[[noreturn]] static void become_galsift(const std::string& program, const std::string& dir,
                                        int out) {
    signal(SIGPIPE, SIG_DFL); // an ignored signal would stay ignored in galsift
    int none = open("/dev/null", O_RDWR);
    if (none < 0 || chdir(dir.c_str()) != 0)
        _exit(127);
    dup2(none, 0);
    dup2(out, 1);
    dup2(none, 2);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    char* envp[] = {nullptr};
    execve(program.c_str(), argv, envp);
    _exit(127);
}

// Runs `program` in `dir`. Kills it when it has not ended within `time_limit` seconds, or
// as soon as a stop signal caught by catch_stop_signals arrives; `finished` is then false.
galsift_run run_galsift(const std::string& program, const std::string& dir, int time_limit) {
    galsift_run run;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0)
        return run;
    pid_t child = fork();
    if (child < 0) {
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        return run;
    }
    if (child == 0) {
        close(pipe_ends[0]);
        become_galsift(program, dir, pipe_ends[1]);
    }
    close(pipe_ends[1]);
    long long deadline = now_ms() + time_limit * 1000LL;
    bool cut_short = false;
    char block[4096];
    for (;;) {
        long long left = deadline - now_ms();
        if (left <= 0 || stop_asked) {
            cut_short = true;
            break;
        }
        pollfd wait_for{pipe_ends[0], POLLIN, 0};
        int ready = poll(&wait_for, 1, left < wait_step_ms ? static_cast<int>(left) : wait_step_ms);
        if (ready <= 0)
            continue; // nothing yet, or interrupted: the deadline and the stop still hold
        ssize_t got = read(pipe_ends[0], block, sizeof block);
        if (got <= 0)
            break; // end of its output: galsift has ended or closed it
        if (run.messages.size() < messages_limit)
            run.messages.append(block, static_cast<std::size_t>(got));
    }
    close(pipe_ends[0]);
    if (cut_short)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.finished = !cut_short && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
