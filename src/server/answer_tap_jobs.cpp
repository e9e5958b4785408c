// The async jobs' resources (UWS 1.1) under /tap/async.
#include "server/answer_tap.h"

#include "server/fcgi_response.h"
#include "server/tap_http.h"
#include "tap/uws_documents.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char xml_type[] = "text/xml; charset=UTF-8";

// The longest a blocking GET of a job waits, in seconds: well within a proxy's patience.
const int longest_wait = 30;

// The job list: every job, or those of the PHASE values, created AFTER a time, the LAST n.
void answer_job_list(FCGX_Request& request, const tap_http_request& asked) {
    std::vector<tap_job> all = list_jobs(tap.jobs), shown;
    std::vector<std::string> phases;
    std::time_t after = 0;
    long last = 0;
    for (const auto& pair : asked.query_pairs) {
        if (pair.first == "PHASE")
            phases.push_back(ascii_upper(pair.second));
        else if (pair.first == "AFTER" && !read_iso_time(pair.second, after))
            return (void)send_whole(request, text_response(400, "AFTER must be an ISO 8601 time"));
        else if (pair.first == "LAST" && (last = std::atol(pair.second.c_str())) <= 0)
            return (void)send_whole(request, text_response(400, "LAST must be a whole number "
                                                                "above 0"));
    }
    for (const tap_job& job : all) {
        bool phase_shown = phases.empty();
        for (const std::string& phase : phases)
            phase_shown = phase_shown || phase == phase_name(job.phase);
        if (phase_shown && job.created > after)
            shown.push_back(job);
    }
    if (last > 0 && shown.size() > static_cast<std::size_t>(last)) {
        // The most recent, newest first.
        std::vector<tap_job> recent(shown.rbegin(), shown.rbegin() + last);
        shown.swap(recent);
    }
    std::string jobs_url = asked.base + "/async";
    send_whole(request, document_response(xml_type, job_list_document(shown, jobs_url)));
}

// The parameters of `asked` that a job keeps: all but UWS's own.
tap_parameters job_parameters(const tap_http_request& asked) {
    tap_parameters kept;
    for (const auto& pair : asked.parameters.pairs)
        if (pair.first != "PHASE" && pair.first != "ACTION")
            kept.pairs.push_back(pair);
    return kept;
}

// A result of a change of a job, as a response: back to the job, or why not.
std::string change_response(int result, const std::string& job_url, const std::string& why) {
    switch (result) {
    case job_done:
        return see_other(job_url);
    case job_unknown:
        return text_response(404, "no such job");
    default:
        return text_response(400, why.empty() ? "the job cannot be changed now" : why);
    }
}

// A file of the job, sent whole with its media type.
void send_file(FCGX_Request& request, const std::string& path, const std::string& type) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        send_whole(request, text_response(404, "the job has no such document"));
        return;
    }
    fcgi_response response;
    open_response(response, request, "Status: 200 OK\r\nContent-Type: " + type + "\r\n");
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        if (!deliver_to_response(&response, buffer, got))
            break;
    std::fclose(file);
    finish_response(response);
}

// GET of the job itself, waiting first when WAIT asks it to.
void answer_job(FCGX_Request& request, const tap_http_request& asked, const tap_job& found) {
    tap_job job = found;
    const std::string* wait = asked.parameters.find("WAIT");
    bool active =
        job.phase == phase_pending || job.phase == phase_queued || job.phase == phase_executing;
    const std::string* phase = asked.parameters.find("PHASE");
    if (wait && active && (!phase || ascii_upper(*phase) == phase_name(job.phase))) {
        int seconds = std::atoi(wait->c_str());
        if (seconds < 0 || seconds > longest_wait)
            seconds = longest_wait;
        wait_for_phase_change(tap.jobs, job.id, job.phase, seconds);
        if (!find_job(tap.jobs, job.id, job)) {
            send_whole(request, text_response(404, "no such job"));
            return;
        }
    }
    send_whole(request, document_response(xml_type, job_document(job, asked.base + "/async")));
}

// A POST to the job or to one of its resources.
std::string change_job(const tap_http_request& asked, const std::string& id,
                       const std::string& part) {
    const std::string job_url = asked.base + "/async/" + id;
    std::string why;
    const std::string* value = nullptr;
    if (part.empty()) {
        const std::string* action = asked.parameters.find("ACTION");
        if (action && ascii_upper(*action) == "DELETE")
            return destroy_job(tap.jobs, id) == job_done ? see_other(asked.base + "/async")
                                                         : text_response(404, "no such job");
        tap_parameters kept = job_parameters(asked);
        int result = job_done;
        if (!kept.pairs.empty() || !asked.parts.empty())
            result = add_parameters(tap.jobs, id, kept, asked.parts, why);
        if (result == job_done && (value = asked.parameters.find("PHASE")))
            result = change_phase(tap.jobs, id, *value, why);
        return change_response(result, job_url, why);
    }
    if (part == "parameters")
        return change_response(
            add_parameters(tap.jobs, id, job_parameters(asked), asked.parts, why), job_url, why);
    if (part == "phase") {
        if (!(value = asked.parameters.find("PHASE")))
            return text_response(400, "PHASE is missing: RUN or ABORT");
        return change_response(change_phase(tap.jobs, id, *value, why), job_url, why);
    }
    if (part == "destruction") {
        std::time_t when;
        if (!(value = asked.parameters.find("DESTRUCTION")) || !read_iso_time(*value, when))
            return text_response(400, "DESTRUCTION must be an ISO 8601 time");
        return change_response(set_destruction(tap.jobs, id, when), job_url, why);
    }
    if (part == "executionduration") {
        char* end = nullptr;
        long long seconds = 0;
        if ((value = asked.parameters.find("EXECUTIONDURATION")))
            seconds = std::strtoll(value->c_str(), &end, 10);
        if (!value || value->empty() || *end)
            return text_response(400, "EXECUTIONDURATION must be a whole number of seconds");
        return change_response(set_execution_duration(tap.jobs, id, seconds), job_url,
                               "the job's execution duration changes only while it is PENDING");
    }
    return text_response(405, "this resource of a job cannot be changed");
}

// A GET of one of the job's resources.
void answer_job_part(FCGX_Request& request, const tap_http_request& asked, const tap_job& job,
                     const std::string& part) {
    const std::string jobs_url = asked.base + "/async";
    if (part == "phase")
        send_whole(request, text_response(200, phase_name(job.phase)));
    else if (part == "executionduration")
        send_whole(request, text_response(200, std::to_string(job.execution_duration)));
    else if (part == "destruction")
        send_whole(request, text_response(200, iso_time(job.destruction)));
    else if (part == "quote" || part == "owner")
        send_whole(request, text_response(200, ""));
    else if (part == "parameters")
        send_whole(request, document_response(xml_type, parameters_document(job)));
    else if (part == "results")
        send_whole(request, document_response(xml_type, results_document(job, jobs_url)));
    else if (part == "results/result" && job.phase == phase_completed)
        send_file(request, job_result_path(tap.jobs, job.id), job.result_type);
    else if (part == "error" && job.phase == phase_error)
        send_file(request, job_error_path(tap.jobs, job.id), "application/x-votable+xml");
    else
        send_whole(request, text_response(404, "the job has no such resource now"));
}

} // namespace

void answer_tap_async(FCGX_Request& request, const tap_http_request& asked) {
    bool reading = asked.method == "GET" || asked.method == "HEAD";
    if (asked.path == "/async") {
        if (reading)
            return answer_job_list(request, asked);
        if (asked.method != "POST")
            return (void)send_whole(request, text_response(405, "GET or POST the job list"));
        std::string id, why;
        if (!create_job(tap.jobs, job_parameters(asked), asked.parts, id, why))
            return (void)send_whole(request, text_response(500, why));
        const std::string* phase = asked.parameters.find("PHASE");
        if (phase)
            change_phase(tap.jobs, id, *phase, why);
        return (void)send_whole(request, see_other(asked.base + "/async/" + id));
    }
    std::string rest = asked.path.substr(7); // past "/async/"
    std::size_t slash = rest.find('/');
    std::string id = rest.substr(0, slash);
    std::string part = slash == std::string::npos ? "" : rest.substr(slash + 1);
    tap_job job;
    if (!find_job(tap.jobs, id, job))
        return (void)send_whole(request, text_response(404, "no such job"));
    if (asked.method == "DELETE" && part.empty()) {
        destroy_job(tap.jobs, id);
        return (void)send_whole(request, see_other(asked.base + "/async"));
    }
    if (asked.method == "POST")
        return (void)send_whole(request, change_job(asked, id, part));
    if (!reading)
        return (void)send_whole(request, text_response(405, "GET, POST or DELETE a job"));
    if (part.empty())
        answer_job(request, asked, job);
    else
        answer_job_part(request, asked, job, part);
}
