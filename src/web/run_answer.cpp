// Choosing the response to a run: its page, or its messages.
#include "web/run_answer.h"

#include "flow/messages.h"
#include "web/response.h"

// Whether the run's verdict says the page was created.
bool page_created(const run_outcome& run) {
    return run.finished && run.messages.find(messages::page_created) != std::string::npos;
}

// The answer to a run that wrote no page: a query error is the visitor's (400), anything
// else is the site's (500).
static int failure_status(const std::string& said) {
    if (said.find(messages::query_error) != std::string::npos ||
        said.find(messages::invalid_epoch) != std::string::npos)
        return 400;
    return 500;
}

// The page (200) when the run says it created one and it was read back; a 500 when the
// run did not finish; otherwise the run's messages, with the status failure_status gives.
std::string run_response(const run_outcome& run) {
    if (page_created(run) && run.has_page)
        return page_response(run.page);
    if (!run.finished)
        return messages_response(500, "The site cannot answer now", "the query did not finish\n");
    return messages_response(failure_status(run.messages), "No results page", run.messages);
}
