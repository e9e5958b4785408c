// The answers to a query, whoever runs it: before its run (the form itself, or the form
// refused) and after it (the page, or the run's messages).
#ifndef GALSIFT_WEB_RUN_ANSWER_H
#define GALSIFT_WEB_RUN_ANSWER_H

#include "web/form.h"
#include "web/form_data.h"

#include <string>

struct publisher_texts;

// What one run gave: whether it ended by itself, its messages, and the page it wrote.
struct run_outcome {
    bool finished = false; // the run ended by itself within the time limit
    std::string messages;  // its messages, verdict included
    bool has_page = false; // a page was written and read back whole
    std::string page;      // that page
};

// The title of the answer to a query that is not run.
inline const char refused_title[] = "The query was refused";

std::string answer_before_run(const request_reader& request, const std::string& data,
                              query_fields& fields, const publisher_texts& publisher);
bool page_created(const run_outcome& run);
std::string run_response(const run_outcome& run, const query_fields& fields,
                         const publisher_texts& publisher);

#endif
