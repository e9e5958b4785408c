// Running the stages in a request's own directory, as galsift would run there.
#include "server/query_run.h"

#include "cgi/request_dir.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "flow/stages.h"
#include "page/results_page.h"
#include "server/held_catalogue.h"
#include "web/query_text.h"
#include "web/response.h"
#include "web/run_answer.h"

#include <unistd.h>

// The response to the query `fields`: a new directory of its own under the spool (mode
// 0700, the site's files linked in, query.frm written from the fields); the stages run
// there from their start-up state, with the epoch's catalogue from the held lists and
// their messages collected; then the page is read back and the directory removed (or
// left for the sweep, with a retention). Gives what galsift-cgi gives for the same run:
// the page, the messages (400 or 500), or a 500 when no directory can be made.
// Only the thread that runs the stages may call it: it changes the working directory.
// The spool's path must be absolute.
std::string answer_query(const site& here, const query_fields& fields) {
    std::string dir = make_request_dir(here);
    if (dir.empty())
        return messages_response(500, "The site cannot answer now", "no working directory\n");
    run_outcome run;
    if (write_text_file(dir + "/query.frm", query_form_text(fields)) && chdir(dir.c_str()) == 0) {
        reset_program_state();
        say_into(&run.messages);
        run_stages(hold_catalogue);
        say_into(nullptr);
        run.finished = true;
        run.has_page = page_created(run) && read_text_file(page_name, run.page);
    } // the working directory stays until the next query moves to its own

    if (here.retention == 0)
        remove_request_dir(dir);
    return run_response(run);
}
