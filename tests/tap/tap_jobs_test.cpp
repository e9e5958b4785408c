// The async jobs: a job runs only once asked, one at a time with one runner, ends
// COMPLETED with its answer or ERROR with its error document, is aborted queued or
// running, takes parameters only while PENDING, keeps its limits, and is destroyed with
// its folder, by request or at its destruction time.
#include "tap/tap_jobs.h"

#include "tap/uws_documents.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// The stand-in of a query's run: QUERY "fail" fails, "slow" runs until aborted or late,
// anything else answers "answer of" the query and its one upload's bytes.
tap_outcome fake_run(const tap_job& job, const std::vector<form_part>& parts,
                     std::chrono::steady_clock::time_point deadline, text_sink& out, void*) {
    tap_outcome outcome;
    std::string query = *job.parameters.find("QUERY");
    if (query == "fail") {
        outcome.result = tap_refused;
        outcome.message = "no such table";
        return outcome;
    }
    while (query == "slow" && !job.abort->load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    out.put("answer of " + query + (parts.empty() ? "" : " with " + parts[0].content));
    return outcome;
}

// The jobs of this test process, never destroyed: their threads run until it ends.
tap_jobs& started_jobs() {
    static tap_jobs& jobs = *new tap_jobs;
    static bool started = false;
    if (!started) {
        jobs.folder = (std::filesystem::temp_directory_path() /
                       ("galsift-jobs-" + std::to_string(::getpid())))
                          .string();
        jobs.settings.jobs = 1;
        jobs.settings.retention = 1000;
        jobs.settings.async_seconds = 20;
        jobs.run = fake_run;
        std::string why;
        EXPECT_TRUE(start_tap_jobs(jobs, why)) << why;
        started = true;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(started_jobs().folder, ignored);
        });
    }
    return jobs;
}

std::string new_job(const std::string& query, const std::vector<form_part>& parts = {}) {
    tap_parameters parameters;
    parameters.set("QUERY", query);
    parameters.set("responseformat", "csv");
    std::string id, why;
    EXPECT_TRUE(create_job(started_jobs(), parameters, parts, id, why)) << why;
    return id;
}

tap_job job_of(const std::string& id) {
    tap_job job;
    EXPECT_TRUE(find_job(started_jobs(), id, job)) << id;
    return job;
}

// Waits (a few seconds at most) until the job has ended.
job_phase settled(const std::string& id) {
    for (int n = 0; n < 3; n++) {
        job_phase phase = job_of(id).phase;
        if (phase != phase_queued && phase != phase_executing)
            break;
        wait_for_phase_change(started_jobs(), id, phase, 5);
    }
    return job_of(id).phase;
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(tap_jobs, AJobRunsOnceAskedAndEndsWithItsAnswerOrItsError) {
    tap_jobs& jobs = started_jobs();
    std::string why;
    std::string id = new_job("q1", {{"t", true, "<VOTABLE/>"}, {"LANG", false, "ADQL"}});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(job_of(id).phase, phase_pending);
    tap_parameters more;
    more.set("QUERY", "q2");
    EXPECT_EQ(add_parameters(jobs, id, more, {}, why), job_done);
    EXPECT_EQ(change_phase(jobs, id, "run", why), job_done);
    EXPECT_EQ(settled(id), phase_completed);
    tap_job job = job_of(id);
    EXPECT_EQ(file_text(job_result_path(jobs, id)), "answer of q2 with <VOTABLE/>");
    EXPECT_EQ(job.result_type, "text/csv;header=present");
    EXPECT_EQ(job.result_size, 28);
    EXPECT_NE(job.started, 0);
    EXPECT_NE(job.ended, 0);
    EXPECT_NE(job_document(job, "http://h/tap/async")
                  .find("<uws:result id=\"result\" xlink:type=\"simple\" "
                        "xlink:href=\"http://h/tap/async/" +
                        id + "/results/result\""),
              std::string::npos);
    // Ended, it takes no parameters and does not run again.
    EXPECT_EQ(add_parameters(jobs, id, more, {}, why), job_refused);
    EXPECT_EQ(change_phase(jobs, id, "RUN", why), job_refused);
    EXPECT_EQ(change_phase(jobs, "nothing", "RUN", why), job_unknown);

    std::string failing = new_job("fail");
    change_phase(jobs, failing, "RUN", why);
    EXPECT_EQ(settled(failing), phase_error);
    EXPECT_EQ(job_of(failing).error, "no such table");
    EXPECT_NE(file_text(job_error_path(jobs, failing))
                  .find("<INFO name=\"QUERY_STATUS\" value=\"ERROR\">no such table</INFO>"),
              std::string::npos);
}

TEST(tap_jobs, OneRunnerRunsOneJobAtATimeAndAbortStopsEither) {
    tap_jobs& jobs = started_jobs();
    std::string why;
    std::string first = new_job("slow"), second = new_job("slow");
    change_phase(jobs, first, "RUN", why);
    change_phase(jobs, second, "RUN", why);
    wait_for_phase_change(jobs, first, phase_queued, 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(job_of(first).phase, phase_executing);
    EXPECT_EQ(job_of(second).phase, phase_queued);
    EXPECT_EQ(change_phase(jobs, second, "ABORT", why), job_done);
    EXPECT_EQ(job_of(second).phase, phase_aborted);
    EXPECT_EQ(change_phase(jobs, first, "ABORT", why), job_done);
    EXPECT_EQ(settled(first), phase_aborted);
    EXPECT_FALSE(std::filesystem::exists(job_result_path(jobs, first)));
    EXPECT_EQ(change_phase(jobs, first, "HOLD", why), job_refused);
}

TEST(tap_jobs, LimitsHoldAndDestructionRemovesTheJob) {
    tap_jobs& jobs = started_jobs();
    std::string id = new_job("q");
    tap_job job = job_of(id);
    EXPECT_EQ(job.destruction, job.created + 1000);
    EXPECT_EQ(job.execution_duration, 20);
    set_destruction(jobs, id, job.created + 1000000);
    EXPECT_EQ(job_of(id).destruction, job.created + 1000);
    set_execution_duration(jobs, id, 0);
    EXPECT_EQ(job_of(id).execution_duration, 20);
    set_execution_duration(jobs, id, 3);
    EXPECT_EQ(job_of(id).execution_duration, 3);

    std::string folder = jobs.folder + "/" + id;
    EXPECT_TRUE(std::filesystem::exists(folder));
    EXPECT_EQ(destroy_job(jobs, id), job_done);
    EXPECT_FALSE(find_job(jobs, id, job));
    EXPECT_FALSE(std::filesystem::exists(folder));

    // The sweeper destroys a job whose time has come.
    std::string due = new_job("q");
    set_destruction(jobs, due, job_of(due).created - 1);
    for (int n = 0; n < 100 && find_job(jobs, due, job); n++)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(find_job(jobs, due, job));
    EXPECT_FALSE(std::filesystem::exists(jobs.folder + "/" + due));
}

TEST(tap_jobs, TimesReadAndWrittenInIso8601) {
    std::time_t when;
    ASSERT_TRUE(read_iso_time("2026-12-08T13:54:06.25Z", when));
    EXPECT_EQ(iso_time(when), "2026-12-08T13:54:06Z");
    ASSERT_TRUE(read_iso_time("2000-01-01T00:00:00", when));
    EXPECT_EQ(when, 946684800);
    for (const char* bad :
         {"2026-13-01T00:00:00Z", "2026-12-08", "2026-12-08T13:54:06+01:00", "tomorrow"})
        EXPECT_FALSE(read_iso_time(bad, when)) << bad;
}
