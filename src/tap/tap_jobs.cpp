// The async jobs: their states, their runners and their sweeper.
#include "tap/tap_jobs.h"

#include "tap/result_writer.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

namespace fs = std::filesystem;

// How nice the runner threads are: below the workers, which answer the site's form and
// the cone search at the process's own priority.
const int runner_niceness = 10;

// Seconds between two looks of the sweeper.
const int sweep_seconds = 5;

std::string job_folder(const tap_jobs& jobs, const std::string& id) {
    return jobs.folder + "/" + id;
}

// A new job id: 16 random hexadecimal digits.
std::string new_id() {
    static std::mutex guard;
    static std::mt19937_64 random{std::random_device{}()};
    std::lock_guard<std::mutex> held(guard);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(random()));
    return text;
}

// Writes the file fields of `parts` into the job's folder, recording their names.
bool keep_parts(const tap_jobs& jobs, tap_job& job, const std::vector<form_part>& parts) {
    for (const form_part& part : parts) {
        if (!part.file)
            continue;
        std::string path = job_folder(jobs, job.id) + "/part-" + std::to_string(job.parts.size());
        std::ofstream out(path, std::ios::binary);
        out.write(part.content.data(), static_cast<std::streamsize>(part.content.size()));
        if (!out)
            return false;
        job.parts.push_back(part.name);
    }
    return true;
}

// The kept fields of `job`, read back.
std::vector<form_part> kept_parts(const tap_jobs& jobs, const tap_job& job) {
    std::vector<form_part> parts;
    for (std::size_t n = 0; n < job.parts.size(); n++) {
        std::ifstream in(job_folder(jobs, job.id) + "/part-" + std::to_string(n), std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        parts.push_back({job.parts[n], true, content});
    }
    return parts;
}

bool deliver_to_file(void* to, const char* bytes, std::size_t length) {
    return std::fwrite(bytes, 1, length, static_cast<std::FILE*>(to)) == length;
}

// Writes `text` whole into the file `path`.
void write_whole(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void remove_folder(const tap_jobs& jobs, const std::string& id) {
    std::error_code ignored;
    fs::remove_all(job_folder(jobs, id), ignored);
}

// Runs one job, its state already EXECUTING; records how it ended.
void run_job(tap_jobs& jobs, tap_job job) {
    std::vector<form_part> parts = kept_parts(jobs, job);
    std::string result = job_result_path(jobs, job.id);
    std::FILE* file = std::fopen(result.c_str(), "wb");
    tap_outcome outcome;
    text_sink out;
    if (file) {
        out.deliver = deliver_to_file;
        out.to = file;
        auto deadline =
            std::chrono::steady_clock::now() + std::chrono::seconds(job.execution_duration);
        outcome = jobs.run(job, parts, deadline, out, jobs.context);
        out.flush();
        if (std::fclose(file) != 0 || out.failed) {
            outcome.result = tap_failed;
            outcome.message = "the job's answer could not be written";
        }
    } else {
        outcome.result = tap_failed;
        outcome.message = "the job's answer could not be written";
    }
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(job.id);
    if (found == jobs.jobs.end())
        return;
    tap_job& kept = found->second;
    kept.ended = std::time(nullptr);
    if (kept.destroyed) {
        remove_folder(jobs, job.id);
        jobs.jobs.erase(found);
    } else if (kept.abort->load()) {
        kept.phase = phase_aborted;
        std::remove(result.c_str());
    } else if (outcome.result == tap_completed) {
        kept.phase = phase_completed;
        kept.result_type = format_media_type(job_format(job));
        std::error_code ignored;
        kept.result_size = static_cast<long long>(fs::file_size(result, ignored));
    } else {
        kept.phase = phase_error;
        kept.error = outcome.message;
        std::remove(result.c_str());
        text_sink document;
        put_tap_error(document, outcome.message);
        write_whole(job_error_path(jobs, job.id), document.held);
    }
    jobs.changed.notify_all();
}

// A runner thread: takes the oldest QUEUED job, runs it, and again.
void runner(tap_jobs* jobs) {
    // Linux gives each thread its own niceness.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), runner_niceness);
    while (true) {
        tap_job job;
        {
            std::unique_lock<std::mutex> held(jobs->lock);
            jobs->changed.wait(held, [&] { return !jobs->queue.empty(); });
            std::string id = jobs->queue.front();
            jobs->queue.pop_front();
            auto found = jobs->jobs.find(id);
            if (found == jobs->jobs.end() || found->second.phase != phase_queued)
                continue;
            found->second.phase = phase_executing;
            found->second.started = std::time(nullptr);
            job = found->second;
            jobs->changed.notify_all();
        }
        run_job(*jobs, job);
    }
}

// The sweeper: destroys the jobs whose destruction time has passed.
void sweeper(tap_jobs* jobs) {
    while (true) {
        std::this_thread::sleep_for(std::chrono::seconds(sweep_seconds));
        std::vector<std::string> due;
        {
            std::lock_guard<std::mutex> held(jobs->lock);
            std::time_t now = std::time(nullptr);
            for (const auto& pair : jobs->jobs)
                if (pair.second.destruction <= now)
                    due.push_back(pair.first);
        }
        for (const std::string& id : due)
            destroy_job(*jobs, id);
    }
}

bool ended(job_phase phase) {
    return phase == phase_completed || phase == phase_error || phase == phase_aborted;
}

} // namespace

const char* phase_name(job_phase phase) {
    static const char* const names[] = {"PENDING",   "QUEUED", "EXECUTING",
                                        "COMPLETED", "ERROR",  "ABORTED"};
    return names[phase];
}

tap_format job_format(const tap_job& job) {
    return format_asked(job.parameters);
}

std::string job_result_path(const tap_jobs& jobs, const std::string& id) {
    return job_folder(jobs, id) + "/result";
}

std::string job_error_path(const tap_jobs& jobs, const std::string& id) {
    return job_folder(jobs, id) + "/error";
}

bool start_tap_jobs(tap_jobs& jobs, std::string& why) {
    // The folder is made with the first job: a site that runs none keeps its spool empty.
    std::error_code error;
    fs::remove_all(jobs.folder, error);
    if (error) {
        why = "cannot empty the jobs' folder " + jobs.folder + ": " + error.message();
        return false;
    }
    for (int n = 0; n < jobs.settings.jobs; n++)
        std::thread(runner, &jobs).detach();
    std::thread(sweeper, &jobs).detach();
    return true;
}

bool create_job(tap_jobs& jobs, const tap_parameters& parameters,
                const std::vector<form_part>& parts, std::string& id, std::string& why) {
    tap_job job;
    job.id = new_id();
    job.created = std::time(nullptr);
    job.destruction = job.created + jobs.settings.retention;
    job.execution_duration = jobs.settings.async_seconds;
    job.parameters = parameters;
    std::error_code error;
    fs::create_directories(job_folder(jobs, job.id), error);
    if (error || !keep_parts(jobs, job, parts)) {
        remove_folder(jobs, job.id);
        why = "the job's folder cannot be written";
        return false;
    }
    id = job.id;
    std::lock_guard<std::mutex> held(jobs.lock);
    jobs.jobs[job.id] = job;
    return true;
}

bool find_job(tap_jobs& jobs, const std::string& id, tap_job& job) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return false;
    job = found->second;
    return true;
}

std::vector<tap_job> list_jobs(tap_jobs& jobs) {
    std::vector<tap_job> all;
    std::lock_guard<std::mutex> held(jobs.lock);
    for (const auto& pair : jobs.jobs)
        if (!pair.second.destroyed)
            all.push_back(pair.second);
    std::stable_sort(all.begin(), all.end(),
                     [](const tap_job& a, const tap_job& b) { return a.created < b.created; });
    return all;
}

int change_phase(tap_jobs& jobs, const std::string& id, const std::string& phase,
                 std::string& why) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return job_unknown;
    tap_job& job = found->second;
    std::string asked = ascii_upper(phase);
    if (asked == "RUN") {
        if (job.phase != phase_pending) {
            why =
                std::string("the job is ") + phase_name(job.phase) + ": only a PENDING job is run";
            return job_refused;
        }
        job.phase = phase_queued;
        jobs.queue.push_back(id);
    } else if (asked == "ABORT") {
        if (ended(job.phase))
            return job_done;
        job.abort->store(true);
        if (job.phase != phase_executing) {
            job.phase = phase_aborted;
            job.ended = std::time(nullptr);
        }
    } else {
        why = "PHASE must be RUN or ABORT, not " + phase;
        return job_refused;
    }
    jobs.changed.notify_all();
    return job_done;
}

int add_parameters(tap_jobs& jobs, const std::string& id, const tap_parameters& parameters,
                   const std::vector<form_part>& parts, std::string& why) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return job_unknown;
    tap_job& job = found->second;
    if (job.phase != phase_pending) {
        why = std::string("the job is ") + phase_name(job.phase) +
              ": its parameters change only while it is PENDING";
        return job_refused;
    }
    if (!keep_parts(jobs, job, parts)) {
        why = "the job's folder cannot be written";
        return job_refused;
    }
    for (const auto& pair : parameters.pairs)
        job.parameters.set(pair.first, pair.second);
    return job_done;
}

int set_destruction(tap_jobs& jobs, const std::string& id, std::time_t when) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return job_unknown;
    tap_job& job = found->second;
    job.destruction = std::min(when, job.created + jobs.settings.retention);
    return job_done;
}

int set_execution_duration(tap_jobs& jobs, const std::string& id, long long seconds) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return job_unknown;
    tap_job& job = found->second;
    if (job.phase != phase_pending)
        return job_refused;
    long long limit = jobs.settings.async_seconds;
    job.execution_duration = static_cast<int>(seconds <= 0 || seconds > limit ? limit : seconds);
    return job_done;
}

int destroy_job(tap_jobs& jobs, const std::string& id) {
    std::lock_guard<std::mutex> held(jobs.lock);
    auto found = jobs.jobs.find(id);
    if (found == jobs.jobs.end() || found->second.destroyed)
        return job_unknown;
    tap_job& job = found->second;
    job.abort->store(true);
    if (job.phase == phase_executing) {
        job.destroyed = true; // the runner removes it when the run stops
    } else {
        remove_folder(jobs, id);
        jobs.jobs.erase(found);
    }
    jobs.changed.notify_all();
    return job_done;
}

void wait_for_phase_change(tap_jobs& jobs, const std::string& id, job_phase phase, int seconds) {
    std::unique_lock<std::mutex> held(jobs.lock);
    auto still = [&] {
        auto found = jobs.jobs.find(id);
        return found != jobs.jobs.end() && !found->second.destroyed && found->second.phase == phase;
    };
    jobs.changed.wait_for(held, std::chrono::seconds(seconds < 0 ? 600 : seconds),
                          [&] { return !still(); });
}
