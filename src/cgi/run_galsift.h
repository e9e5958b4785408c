// Running galsift in a request's directory, without a shell, within a time limit.
#ifndef GALSIFT_CGI_RUN_GALSIFT_H
#define GALSIFT_CGI_RUN_GALSIFT_H

#include <string>

struct galsift_run {
    bool finished = false; // galsift ended by itself within the time limit
    std::string messages;  // what it wrote on standard output
};

void catch_stop_signals();
galsift_run run_galsift(const std::string& program, const std::string& dir, int time_limit);

#endif
