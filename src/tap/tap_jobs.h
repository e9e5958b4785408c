// The async jobs of the table access service (UWS 1.1): each job's state in memory, its
// uploads and its answer in a folder of its own under the spool; a few runner threads,
// below the query server's workers in priority, run the QUEUED jobs in turn; a sweeper
// destroys each job, its folder with it, at its destruction time.
//
// Jobs live as long as the server process: a new process starts with an empty job list
// and removes what an earlier one left in the jobs' folder.
//
// Every member of tap_jobs but the settings is guarded by `lock`; the functions below
// take it themselves.
#ifndef GALSIFT_TAP_TAP_JOBS_H
#define GALSIFT_TAP_TAP_JOBS_H

#include "tap/multipart.h"
#include "tap/tap_request.h"
#include "tap/tap_run.h"
#include "tap/tap_settings.h"

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum job_phase {
    phase_pending,
    phase_queued,
    phase_executing,
    phase_completed,
    phase_error,
    phase_aborted,
};

// The phase as UWS writes it ("PENDING", ...).
const char* phase_name(job_phase phase);

struct tap_job {
    std::string id;
    job_phase phase = phase_pending;
    std::time_t created = 0, started = 0, ended = 0; // 0: not yet
    std::time_t destruction = 0;
    int execution_duration = 0;     // seconds the run may take
    tap_parameters parameters;      // as the client gave them
    std::vector<std::string> parts; // names of the multipart fields kept, files part-N
    std::string error;              // why the job is in ERROR (or ABORTED)
    std::string result_type;        // media type of the answer, once COMPLETED
    long long result_size = 0;      // its bytes
    std::shared_ptr<std::atomic<bool>> abort = std::make_shared<std::atomic<bool>>(false);
    bool destroyed = false; // destroyed while running: removed when the run ends
};

// Runs `job` (a copy of the job as it was when it started) with its kept `parts`, writing
// its answer into `out`, until `job.abort` is set or the run's deadline passes.
using job_runner = tap_outcome (*)(const tap_job& job, const std::vector<form_part>& parts,
                                   std::chrono::steady_clock::time_point deadline, text_sink& out,
                                   void* context);

struct tap_jobs {
    std::string folder;       // where each job has its own folder
    tap_settings settings;    // read before start_tap_jobs, then only read
    job_runner run = nullptr; // set before start_tap_jobs
    void* context = nullptr;  // handed to `run`

    std::mutex lock;
    std::condition_variable changed;     // signalled at every change of a job's phase
    std::map<std::string, tap_job> jobs; // by id
    std::deque<std::string> queue;       // ids of the QUEUED jobs, oldest first
};

// The format of the job's answer, as its parameters ask.
tap_format job_format(const tap_job& job);

// Results of the functions below that change a job.
enum {
    job_done = 0,    // the change was made
    job_unknown = 1, // no job of this id
    job_refused = 2, // not in this phase, or a value that is not one (`why` says)
};

// Removes `jobs.folder` (the first job makes it again), then starts settings.jobs runner
// threads and the sweeper, which run for the life of the process. Returns false with the
// reason.
bool start_tap_jobs(tap_jobs& jobs, std::string& why);

// Creates a PENDING job of `parameters` keeping the file fields of `parts`; `id` gets its
// id. Returns false with the reason (its folder cannot be written).
bool create_job(tap_jobs& jobs, const tap_parameters& parameters,
                const std::vector<form_part>& parts, std::string& id, std::string& why);

// A copy of the job `id`. Returns false when there is none.
bool find_job(tap_jobs& jobs, const std::string& id, tap_job& job);

// Every job, oldest first.
std::vector<tap_job> list_jobs(tap_jobs& jobs);

// PHASE=RUN (a PENDING job is QUEUED) or PHASE=ABORT (a job not yet ended is ABORTED).
int change_phase(tap_jobs& jobs, const std::string& id, const std::string& phase, std::string& why);

// Sets parameters of a PENDING job (UPLOAD adds, any other replaces), keeping the file
// fields of `parts`.
int add_parameters(tap_jobs& jobs, const std::string& id, const tap_parameters& parameters,
                   const std::vector<form_part>& parts, std::string& why);

// Sets the destruction time (no later than creation + settings.retention) or the
// execution duration (seconds; 0 or more than the limit give the limit).
int set_destruction(tap_jobs& jobs, const std::string& id, std::time_t when);
int set_execution_duration(tap_jobs& jobs, const std::string& id, long long seconds);

// Destroys the job: its run is aborted, its folder removed.
int destroy_job(tap_jobs& jobs, const std::string& id);

// Waits until the job `id` leaves `phase`, or `seconds` pass (negative: a long while).
// Returns at once when the job is not in `phase`.
void wait_for_phase_change(tap_jobs& jobs, const std::string& id, job_phase phase, int seconds);

// The files of a job's answer and of its error document.
std::string job_result_path(const tap_jobs& jobs, const std::string& id);
std::string job_error_path(const tap_jobs& jobs, const std::string& id);

#endif
