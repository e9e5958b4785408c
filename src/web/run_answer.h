// run_response: the answer to one run of the stages, whoever ran them.
#ifndef GALSIFT_WEB_RUN_ANSWER_H
#define GALSIFT_WEB_RUN_ANSWER_H

#include <string>

// What one run gave: whether it ended by itself, its messages, and the page it wrote.
struct run_outcome {
    bool finished = false; // the run ended by itself within the time limit
    std::string messages;  // its messages, verdict included
    bool has_page = false; // a page was written and read back whole
    std::string page;      // that page
};

bool page_created(const run_outcome& run);
std::string run_response(const run_outcome& run);

#endif
