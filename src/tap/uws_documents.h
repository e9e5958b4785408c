// The XML documents of the async jobs (UWS 1.1): a job, the job list, a job's results and
// parameters, and the times they hold (ISO 8601, UTC).
#ifndef GALSIFT_TAP_UWS_DOCUMENTS_H
#define GALSIFT_TAP_UWS_DOCUMENTS_H

#include "tap/tap_jobs.h"

#include <ctime>
#include <string>
#include <vector>

// `when` as "2026-12-08T13:54:06Z"; "" for 0.
std::string iso_time(std::time_t when);

// The time of an ISO 8601 text in UTC ("2026-12-08T13:54:06", with fractions of a second
// and a "Z" allowed). Returns false for anything else.
bool read_iso_time(const std::string& text, std::time_t& when);

// The documents; `jobs_url` is the job list's absolute URL (".../tap/async").
std::string job_document(const tap_job& job, const std::string& jobs_url);
std::string job_list_document(const std::vector<tap_job>& jobs, const std::string& jobs_url);
std::string results_document(const tap_job& job, const std::string& jobs_url);
std::string parameters_document(const tap_job& job);

#endif
