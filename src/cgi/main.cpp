// galsift-cgi: the web front end of galsift. It decodes a visitor's query form, runs
// galsift on it in a directory of the request's own, and returns the results page, or a
// page with galsift's messages when no page was written.
#include "cgi/request_dir.h"
#include "cgi/run_galsift.h"
#include "cgi/run_slot.h"
#include "cgi/site.h"
#include "page/publisher.h"
#include "page/results_page.h"
#include "vo/result_formats.h"
#include "web/form.h"
#include "web/form_data.h"
#include "web/query_text.h"
#include "web/response.h"
#include "web/run_answer.h"

#include "version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

// The CGI request: variables in the environment, the body on standard input.
static const char* environment_variable(void*, const char* name) {
    return std::getenv(name);
}

static std::size_t read_input(void*, char* into, std::size_t size) {
    return std::fread(into, 1, size, stdin);
}

// Writes a whole response on standard output, for the web server.
static void send(const std::string& response) {
    std::fwrite(response.data(), 1, response.size(), stdout);
    std::fflush(stdout);
}

// True when the program was started from a shell with --version alone. The web server
// sets GATEWAY_INTERFACE, so no request can ask for it.
static bool asks_version(int argc, char** argv) {
    return argc == 2 && std::strcmp(argv[1], "--version") == 0 && !std::getenv("GATEWAY_INTERFACE");
}

int main(int argc, char** argv) {
    if (asks_version(argc, argv)) {
        std::printf("galsift-cgi %s\n", GALSIFT_VERSION);
        return 0;
    }
    catch_stop_signals();
    site here = site_settings();
    page_charset = here.charset;
    std::string data, why;
    query_fields fields;
    result_choice choice; // the page is always whole here: the query server cuts long ones
    request_reader request{environment_variable, read_input, nullptr};
    if (!read_form_data(request, data, why) || !take_result_choice(data, choice, why)) {
        send(messages_response(400, refused_title, why + "\n"));
        return 0;
    }
    // The forms carry the heading of the texts galsift was built with, as its pages do.
    std::string refused = answer_before_run(request, data, fields, built_in_publisher);
    if (!refused.empty()) {
        send(refused);
        return 0;
    }
    if (choice.format != format_page) {
        send(messages_response(400, refused_title,
                               "this site gives VOTable and CSV files and sky plots through its "
                               "query server only; ask for the results page\n"));
        return 0;
    }
    sweep_spool(here);
    mkdir(here.spool.c_str(), 0700); // an existing spool is fine
    int slot = take_run_slot(here);
    if (slot < 0) {
        send(busy_response(here.wait_limit > 0 ? here.wait_limit : 1));
        return 0;
    }
    std::string dir = make_request_dir(here);
    if (dir.empty()) {
        send(messages_response(500, "The site cannot answer now", "no working directory\n"));
        return 0;
    }
    run_outcome run;
    if (write_text_file(dir + "/query.frm", query_form_text(fields))) {
        galsift_run ran = run_galsift(here.program, dir, here.time_limit);
        run.finished = ran.finished;
        run.messages = ran.messages;
    }
    give_back_run_slot(slot);
    run.has_page = page_created(run) && read_text_file(dir + "/" + page_name, run.page);
    if (here.retention == 0)
        remove_request_dir(dir);
    send(run_response(run, fields, built_in_publisher));
    return 0;
}
