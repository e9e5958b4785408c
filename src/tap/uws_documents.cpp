// Writing the jobs' documents.
#include "tap/uws_documents.h"

#include "vo/xml_parts.h"
#include "web/ascii_case.h"

#include <cstdio>
#include <cstring>

namespace {

const char namespaces[] = " xmlns:uws=\"http://www.ivoa.net/xml/UWS/v1.0\""
                          " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
                          " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

// An element of a time, or xsi:nil when there is none.
std::string time_element(const char* name, std::time_t when) {
    if (!when)
        return std::string("  <uws:") + name + " xsi:nil=\"true\"/>\n";
    return std::string("  <uws:") + name + ">" + iso_time(when) + "</uws:" + name + ">\n";
}

std::string parameters_element(const tap_job& job) {
    std::string out = "  <uws:parameters>\n";
    for (const auto& pair : job.parameters.pairs)
        out += "    <uws:parameter id=\"" + xml_text(ascii_lower(pair.first)) + "\">" +
               xml_text(pair.second) + "</uws:parameter>\n";
    return out + "  </uws:parameters>\n";
}

std::string results_element(const tap_job& job, const std::string& jobs_url) {
    std::string out = "  <uws:results>\n";
    if (job.phase == phase_completed)
        out += "    <uws:result id=\"result\" xlink:type=\"simple\" xlink:href=\"" +
               xml_text(jobs_url + "/" + job.id + "/results/result") + "\" mime-type=\"" +
               xml_text(job.result_type) + "\" size=\"" + std::to_string(job.result_size) +
               "\"/>\n";
    return out + "  </uws:results>\n";
}

} // namespace

std::string iso_time(std::time_t when) {
    return when ? utc_timestamp(static_cast<long long>(when)) : std::string();
}

bool read_iso_time(const std::string& text, std::time_t& when) {
    std::tm parts{};
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &consumed) != 6)
        return false;
    const char* rest = text.c_str() + consumed;
    if (*rest == '.')
        for (rest++; *rest >= '0' && *rest <= '9'; rest++) {
        }
    if (*rest == 'Z')
        rest++;
    if (*rest || parts.tm_mon < 1 || parts.tm_mon > 12 || parts.tm_mday < 1 || parts.tm_mday > 31 ||
        parts.tm_hour > 23 || parts.tm_min > 59 || parts.tm_sec > 60)
        return false;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    when = timegm(&parts);
    return true;
}

std::string job_document(const tap_job& job, const std::string& jobs_url) {
    std::string out =
        std::string(xml_declaration) + "<uws:job version=\"1.1\"" + namespaces + ">\n";
    out += "  <uws:jobId>" + xml_text(job.id) + "</uws:jobId>\n";
    if (const std::string* runid = job.parameters.find("RUNID"))
        out += "  <uws:runId>" + xml_text(*runid) + "</uws:runId>\n";
    out += "  <uws:ownerId xsi:nil=\"true\"/>\n";
    out += std::string("  <uws:phase>") + phase_name(job.phase) + "</uws:phase>\n";
    out += "  <uws:quote xsi:nil=\"true\"/>\n";
    out += time_element("creationTime", job.created);
    out += time_element("startTime", job.started);
    out += time_element("endTime", job.ended);
    out += "  <uws:executionDuration>" + std::to_string(job.execution_duration) +
           "</uws:executionDuration>\n";
    out += time_element("destruction", job.destruction);
    out += parameters_element(job);
    out += results_element(job, jobs_url);
    if (job.phase == phase_error)
        out += "  <uws:errorSummary type=\"fatal\" hasDetail=\"true\">\n    <uws:message>" +
               xml_text(job.error) + "</uws:message>\n  </uws:errorSummary>\n";
    return out + "</uws:job>\n";
}

std::string job_list_document(const std::vector<tap_job>& jobs, const std::string& jobs_url) {
    std::string out =
        std::string(xml_declaration) + "<uws:jobs version=\"1.1\"" + namespaces + ">\n";
    for (const tap_job& job : jobs) {
        out += "  <uws:jobref id=\"" + xml_text(job.id) + "\" xlink:type=\"simple\" xlink:href=\"" +
               xml_text(jobs_url + "/" + job.id) + "\">\n";
        out += std::string("    <uws:phase>") + phase_name(job.phase) + "</uws:phase>\n";
        if (const std::string* runid = job.parameters.find("RUNID"))
            out += "    <uws:runId>" + xml_text(*runid) + "</uws:runId>\n";
        out += "    <uws:ownerId xsi:nil=\"true\"/>\n";
        out += "    <uws:creationTime>" + iso_time(job.created) + "</uws:creationTime>\n";
        out += "  </uws:jobref>\n";
    }
    return out + "</uws:jobs>\n";
}

std::string results_document(const tap_job& job, const std::string& jobs_url) {
    std::string element = results_element(job, jobs_url);
    // The element alone, as the document's root, with the namespaces declared on it.
    element.replace(element.find("<uws:results>"), 13,
                    std::string("<uws:results") + namespaces + ">");
    return std::string(xml_declaration) + element;
}

std::string parameters_document(const tap_job& job) {
    std::string element = parameters_element(job);
    element.replace(element.find("<uws:parameters>"), 16,
                    std::string("<uws:parameters") + namespaces + ">");
    return std::string(xml_declaration) + element;
}
