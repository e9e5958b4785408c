// Choosing the response to a query: before its run, the form or a refusal; after it, its
// page or its messages.
#include "web/run_answer.h"

#include "flow/messages.h"
#include "web/form_page.h"
#include "web/response.h"

#include <cstring>

// The answer to `request`, whose form data is `data` (read, and the choice of answer
// taken out), before any run: "" when `data` holds a query to run (then in `fields`, every
// entry set). Else the whole response: the empty form for a GET without data (200); the
// form filled again with each refused field marked beside it (400); or a page that says
// why the data is not a form's (400). The forms carry `publisher`'s heading.
std::string answer_before_run(const request_reader& request, const std::string& data,
                              query_fields& fields, const publisher_texts& publisher) {
    const char* method = request.variable(request.context, "REQUEST_METHOD");
    if (data.empty() && method &&
        (std::strcmp(method, "GET") == 0 || std::strcmp(method, "HEAD") == 0))
        return form_response(200, form_title, default_fields(), "", publisher);
    std::string why;
    int decoded = decode_form(data, fields, why);
    if (decoded == form_ok)
        return "";
    if (decoded == form_invalid)
        return form_response(400, refused_title, fields, "", publisher);
    return messages_response(400, refused_title, why + "\n");
}

// Whether the run's verdict says the page was created.
bool page_created(const run_outcome& run) {
    return run.finished && run.messages.find(messages::page_created) != std::string::npos;
}

// Whether the run refused the query itself (the visitor's error) rather than failed.
static bool query_refused(const std::string& said) {
    return said.find(messages::query_error) != std::string::npos ||
           said.find(messages::invalid_epoch) != std::string::npos;
}

// The page (200) when the run says it created one and it was read back; a 500 when the
// run did not finish; the run's messages above the form filled again with `fields` (400)
// when it refused the query; otherwise the run's messages (500). The form carries
// `publisher`'s heading.
std::string run_response(const run_outcome& run, const query_fields& fields,
                         const publisher_texts& publisher) {
    if (page_created(run) && run.has_page)
        return page_response(run.page);
    if (!run.finished)
        return messages_response(500, "The site cannot answer now", "the query did not finish\n");
    if (query_refused(run.messages))
        return form_response(400, "No results page", fields, run.messages, publisher);
    return messages_response(500, "No results page", run.messages);
}
