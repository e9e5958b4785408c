// Running the stages in a request's own directory, as galsift would run there.
#include "server/query_run.h"

#include "catalogue/record_list.h"
#include "cgi/request_dir.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "flow/stages.h"
#include "page/results_page.h"
#include "server/held_catalogue.h"
#include "vo/table_responses.h"
#include "web/query_text.h"
#include "web/response.h"
#include "web/run_answer.h"

#include <unistd.h>

// The download a run writes in place of the page, and its format.
static result_format download_format = format_votable;
static std::string download;

// The stages' last step for a download: the selection as a whole response, kept for
// answer_query. Always returns results_page_written.
static int write_download() {
    download = selection_response(download_format, First_Selected, epoch);
    return results_page_written;
}

// The response to the query `fields`: a new directory of its own under the spool (mode
// 0700, the site's files linked in, query.frm written from the fields); the stages run
// there from their start-up state, with the epoch's catalogue from the held lists and
// their messages collected; then the page is read back and the directory removed (or
// left for the sweep, with a retention). Gives what galsift-cgi gives for the same run:
// the page, the messages (400 or 500), or a 500 when no directory can be made. `choice`
// asks for the page or a download of its selection (VOTable, CSV); the page shows at most
// `row_limit` rows (0: all) unless the choice asks for all, and when it shows fewer than
// were selected, a notice with links built from the form data `data`.
// Only the thread that runs the stages may call it: it changes the working directory.
// The spool's path must be absolute.
std::string answer_query(const site& here, const query_fields& fields, const result_choice& choice,
                         int row_limit, const std::string& data) {
    std::string dir = make_request_dir(here);
    if (dir.empty())
        return messages_response(500, "The site cannot answer now", "no working directory\n");
    run_outcome run;
    std::string notice = cut_notice_text(data, row_limit);
    download_format = choice.format;
    if (write_text_file(dir + "/query.frm", query_form_text(fields)) && chdir(dir.c_str()) == 0) {
        reset_program_state();
        if (choice.format == format_page && !choice.all_rows) {
            table_row_limit = row_limit; // the page writer cuts the table, 0 leaves it whole
            cut_notice = notice.c_str();
        }
        say_into(&run.messages);
        run_stages(hold_catalogue,
                   choice.format == format_page ? Query_Result_generator : write_download);
        say_into(nullptr);
        run.finished = true;
        run.has_page = choice.format == format_page && page_created(run) &&
                       read_text_file(page_name, run.page);
    } // the working directory stays until the next query moves to its own

    if (here.retention == 0)
        remove_request_dir(dir);
    if (choice.format != format_page && page_created(run))
        return std::move(download);
    return run_response(run, fields);
}

// The answer to the cone search `query` over the held J2000 catalogue, read from the
// site's folder, at most `row_limit` rows (0: all). A catalogue that cannot be read is
// answered with a VOTable error. Only the thread that runs the stages may call it.
std::string answer_cone_query(const site& here, const std::string& query, std::size_t row_limit) {
    std::string said;
    say_into(&said);
    bool held = chdir(here.pages.c_str()) == 0 && hold_catalogue("CG2000.dat") == catalogue_read;
    say_into(nullptr);
    if (!held)
        return cone_error_response("the catalogue cannot be read now");
    return cone_response(query, DB_First.next, row_limit);
}
