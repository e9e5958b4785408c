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

static long long now_ms() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// The child's side: working directory, standard streams, then galsift itself with no
// arguments and an empty environment, as it expects nothing else.
[[noreturn]] static void become_galsift(const std::string& program, const std::string& dir,
                                        int out) {
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

// Runs `program` in `dir`. Kills it when it has not ended within `time_limit` seconds.
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
    bool timed_out = false;
    char block[4096];
    for (;;) {
        long long left = deadline - now_ms();
        if (left <= 0) {
            timed_out = true;
            break;
        }
        pollfd wait_for{pipe_ends[0], POLLIN, 0};
        int ready = poll(&wait_for, 1, static_cast<int>(left));
        if (ready < 0)
            continue; // interrupted; the deadline still holds
        if (ready == 0)
            continue;
        ssize_t got = read(pipe_ends[0], block, sizeof block);
        if (got <= 0)
            break; // end of its output: galsift has ended or closed it
        if (run.messages.size() < messages_limit)
            run.messages.append(block, static_cast<std::size_t>(got));
    }
    close(pipe_ends[0]);
    if (timed_out)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.finished = !timed_out && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
