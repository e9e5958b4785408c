// galsift-cgi: the web front end of galsift. It decodes a visitor's query form, runs
// galsift on it in a directory of the request's own, and returns the results page, or a
// page with galsift's messages when no page was written.
#include "cgi/request_dir.h"
#include "cgi/run_galsift.h"
#include "cgi/site.h"
#include "flow/messages.h"
#include "page/results_page.h"
#include "web/form.h"
#include "web/query_text.h"
#include "web/response.h"

#include "version.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Reads the form data of the request: the query string of a GET, the body of a POST.
// Returns false (with a reason) for another method, another content type, or data over
// the limit.
static bool read_form_data(std::string& data, std::string& why) {
    const char* method = std::getenv("REQUEST_METHOD");
    if (method && std::strcmp(method, "GET") == 0) {
        const char* query = std::getenv("QUERY_STRING");
        data = query ? query : "";
        return true;
    }
    if (!method || std::strcmp(method, "POST") != 0) {
        why = "only GET and POST are answered";
        return false;
    }
    const char* type = std::getenv("CONTENT_TYPE");
    if (!type || std::strncmp(type, "application/x-www-form-urlencoded", 33) != 0) {
        why = "the form must be sent as application/x-www-form-urlencoded";
        return false;
    }
    const char* length_text = std::getenv("CONTENT_LENGTH");
    char* end = nullptr;
    unsigned long length = length_text ? std::strtoul(length_text, &end, 10) : 0;
    if (!length_text || *end != 0) {
        why = "the form data has no length";
        return false;
    }
    if (length > form_limit) {
        why = "the form data is too long";
        return false;
    }
    data.resize(length);
    if (length && std::fread(&data[0], 1, length, stdin) != length) {
        why = "the form data ended early";
        return false;
    }
    return true;
}

// The answer to a run that wrote no page: a query error is the visitor's (400), anything
// else is the site's (500).
static int failure_status(const std::string& said) {
    if (said.find(messages::query_error) != std::string::npos ||
        said.find(messages::invalid_epoch) != std::string::npos)
        return 400;
    return 500;
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
    std::string data, why;
    query_fields fields;
    if (!read_form_data(data, why) || decode_form(data, fields, why) != form_ok) {
        send(messages_response(400, "The query was refused", why + "\n"));
        return 0;
    }
    site here = site_settings();
    sweep_spool(here);
    std::string dir = make_request_dir(here);
    if (dir.empty()) {
        send(messages_response(500, "The site cannot answer now", "no working directory\n"));
        return 0;
    }
    std::string page;
    galsift_run run;
    if (write_text_file(dir + "/query.frm", query_form_text(fields)))
        run = run_galsift(here.program, dir, here.time_limit);
    bool created = run.finished && run.messages.find(messages::page_created) != std::string::npos &&
                   read_text_file(dir + "/" + page_name, page);
    if (here.retention == 0)
        remove_request_dir(dir);
    if (created)
        send(page_response(page));
    else if (!run.finished)
        send(messages_response(500, "The site cannot answer now", "the query did not finish\n"));
    else
        send(messages_response(failure_status(run.messages), "No results page", run.messages));
    return 0;
}
