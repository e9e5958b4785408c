// The table access service: its addresses, its sync queries and its own documents.
#include "server/answer_tap.h"

#include "server/answer_vosi.h"
#include "server/fcgi_response.h"
#include "server/held_site.h"
#include "server/tap_http.h"
#include "tap/tap_run.h"
#include "tap/vosi_documents.h"
#include "vo/vosi_availability.h"
#include "vo/vosi_tables.h"
#include "web/response.h"

#include <chrono>
#include <cstdlib>

namespace {

const char xml_type[] = "text/xml; charset=UTF-8";

// The async jobs' run: the job's parameters checked, then its query over the site's state
// of now.
tap_outcome run_job(const tap_job& job, const std::vector<form_part>& parts,
                    std::chrono::steady_clock::time_point deadline, text_sink& out, void*) {
    tap_outcome outcome;
    tap_run_input input;
    if (!read_tap_request(job.parameters, tap.settings, input.request, outcome.message)) {
        outcome.result = tap_refused;
        return outcome;
    }
    std::shared_ptr<const site_state> state = current_site();
    tap_catalogue catalogues[2];
    catalogues_of(*state, catalogues);
    input.catalogues = catalogues;
    input.parts = &parts;
    input.upload_limit = tap.settings.upload_limit;
    input.deadline = deadline;
    input.abort = job.abort.get();
    return run_tap_query(input, out);
}

// A query by /tap/sync: its answer streamed as it is written, or its error document.
void answer_sync(FCGX_Request& request, server_context& server, const tap_http_request& asked) {
    tap_run_input input;
    std::string why;
    if (!read_tap_request(asked.parameters, tap.settings, input.request, why)) {
        send_whole(request, tap_error_response(400, why));
        return;
    }
    if (!take_turn(server.turns, &request)) {
        int wait = server.settings.here.wait_limit;
        send_whole(request, busy_response(wait > 0 ? wait : 1));
        return;
    }
    std::shared_ptr<const site_state> state = current_site();
    tap_catalogue catalogues[2];
    catalogues_of(*state, catalogues);
    input.catalogues = catalogues;
    input.parts = &asked.parts;
    input.upload_limit = tap.settings.upload_limit;
    input.deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(tap.settings.sync_seconds);

    fcgi_response response;
    open_response(response, request,
                  std::string("Status: 200 OK\r\nContent-Type: ") +
                      format_media_type(input.request.format) + "\r\n");
    response.turns = &server.turns; // given back once the answer streams
    text_sink out;
    out.deliver = deliver_to_response;
    out.to = &response;
    tap_outcome outcome = run_tap_query(input, out);
    out.flush();
    if (response.turns)
        give_turn(server.turns);
    response.turns = nullptr;
    if (outcome.result == tap_refused || outcome.result == tap_failed) {
        send_whole(request,
                   tap_error_response(outcome.result == tap_refused ? 400 : 500, outcome.message));
        return;
    }
    finish_response(response);
}

// /tap/tables, and /tap/tables/NAME for one table (its name in any case).
void answer_tables(FCGX_Request& request, const tap_http_request& asked) {
    std::vector<described_schema> schemas = described_schemas(published_tables());
    if (asked.path == "/tables") {
        const std::string* detail = asked.parameters.find("DETAIL");
        bool all = !detail || *detail != "min";
        send_whole(request, document_response(xml_type, tableset_document(schemas, all)));
        return;
    }
    std::string name = asked.path.substr(8); // past "/tables/"
    std::string document = table_document(schemas, name);
    send_whole(request, document.empty() ? text_response(404, "no table " + name + " here")
                                         : document_response(xml_type, document));
}

// /tap/availability: whether the catalogues can be queried now; a note says why not, or
// how the site's files are.
void answer_availability(FCGX_Request& request) {
    std::shared_ptr<const site_state> state = current_site();
    tap_catalogue catalogues[2];
    catalogues_of(*state, catalogues);
    std::string note = catalogues[0].unreadable;
    if (note.empty())
        note = catalogues[1].unreadable;
    bool available = catalogues[0].store || catalogues[1].store;
    if (note.empty())
        note = "The service answers; the site's files: " +
               (state->notes.empty() ? std::string("all well") : state->notes);
    send_whole(request, document_response(
                            xml_type, availability_document(available, server_started(), note)));
}

// The page at /tap itself, for a visitor's browser.
std::string root_page(const std::string& base) {
    std::string links;
    for (const char* name : {"tables", "examples", "capabilities", "availability"})
        links += "<li><a href=\"" + html_escape(base) + "/" + name + "\">" + name + "</a></li>";
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"UTF-8\">"
           "<title>Table access service</title></head><body>\n"
           "<h1>Table access service of the catalogue</h1>\n"
           "<p>ADQL queries of the catalogue's tables by the IVOA Table Access Protocol "
           "(TAP 1.1) at " +
           html_escape(base) +
           ": give this address to TOPCAT's TAP window, to pyvo's TAPService or to STILTS "
           "tapquery.</p>\n<ul>" +
           links + "</ul>\n</body></html>\n";
}

} // namespace

bool start_tap_service(const std::string& spool, std::string& why) {
    tap.settings = tap_settings_from_environment();
    tap.jobs.folder = spool + "/tap-jobs";
    tap.jobs.settings = tap.settings;
    tap.jobs.run = run_job;
    return start_tap_jobs(tap.jobs, why);
}

void answer_tap(FCGX_Request& request, server_context& server) {
    tap_http_request asked;
    std::string refusal;
    if (!read_tap_http(request, asked, refusal)) {
        send_whole(request, refusal);
        return;
    }
    const std::string& path = asked.path;
    bool reading = asked.method == "GET" || asked.method == "HEAD";
    if (path == "/sync" && (reading || asked.method == "POST"))
        answer_sync(request, server, asked);
    else if (path == "/async" || path.compare(0, 7, "/async/") == 0)
        answer_tap_async(request, asked);
    else if (!reading)
        send_whole(request, text_response(405, "only GET and HEAD are answered here"));
    else if (path == "/capabilities")
        send_whole(request, document_response(xml_type,
                                              tap_capabilities_document(asked.base, tap.settings)));
    else if (path == "/availability")
        answer_availability(request);
    else if (path == "/tables" || path.compare(0, 8, "/tables/") == 0)
        answer_tables(request, asked);
    else if (path == "/examples")
        send_whole(request,
                   document_response("application/xhtml+xml; charset=UTF-8", examples_document()));
    else if (path.empty() || path == "/")
        send_whole(request, document_response("text/html; charset=UTF-8", root_page(asked.base)));
    else
        send_whole(request, text_response(404, "nothing is answered at this address"));
}
