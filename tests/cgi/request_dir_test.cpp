// The front end's request directories: the sweep of the spool, and a run of galsift that
// is cut short by its time limit or by a stop signal, so that no directory is left behind.
#include "cgi/request_dir.h"
#include "cgi/run_galsift.h"
#include "cgi/run_slot.h"
#include "cgi/site.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// A fresh spool folder for each test.
class CgiSpool : public ::testing::Test {
  protected:
    fs::path spool;
    site here;

    void SetUp() override {
        std::random_device seed;
        spool = fs::temp_directory_path() /
                ("galsift-cgi-spool-" + std::to_string(seed()) + std::to_string(seed()));
        fs::create_directories(spool);
        here.spool = spool.string();
        here.time_limit = 10;
    }
    void TearDown() override { fs::remove_all(spool); }

    // A folder under the spool whose last change was `age` seconds ago, holding the
    // files a request leaves (a galsift that was killed leaves its page's new file).
    fs::path old_folder(const std::string& name, int age) {
        fs::path dir = spool / name;
        fs::create_directory(dir);
        for (const char* file : {"query.frm", "results.html", "results.html.k3x9qa"})
            std::ofstream(dir / file) << "x";
        timespec times[2];
        clock_gettime(CLOCK_REALTIME, &times[0]);
        times[0].tv_sec -= age;
        times[1] = times[0];
        utimensat(AT_FDCWD, dir.c_str(), times, 0);
        return dir;
    }

    // A shell script under the spool that galsift's place takes in a run.
    std::string script(const std::string& body) {
        fs::path path = spool / "program";
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    }
};

// Which folders the sweep removes, for each retention: only request folders, and none
// younger than the time limit, whose request may still be running.
TEST_F(CgiSpool, SweepRemovesOnlyEndedRequests) {
    struct sweep_case {
        int retention;
        int age;
        bool removed;
    };
    const std::vector<sweep_case> cases = {
        {0, 0, false},    // just made: a running request's own
        {0, 5, false},    // still within the time limit of 10 s
        {0, 12, true},    // older than any run: its front end was killed
        {0, 3600, true},  //
        {5, 8, false},    // a short retention does not cut a run short
        {5, 12, true},    //
        {60, 30, false},  // kept for the retention
        {60, 55, false},  //
        {60, 62, true},   //
        {60, 7200, true}, //
    };
    for (const sweep_case& each : cases) {
        here.retention = each.retention;
        fs::path request = old_folder("request-test01", each.age);
        fs::path other = old_folder("keep-me", 7200);
        sweep_spool(here);
        EXPECT_EQ(!fs::exists(request), each.removed)
            << "retention " << each.retention << ", age " << each.age;
        EXPECT_TRUE(fs::exists(other / "query.frm")) << "a folder not made by the front end";
        fs::remove_all(request);
        fs::remove_all(other);
    }
}

// A folder the front end makes holds the site's files as links and is removed whole.
TEST_F(CgiSpool, RequestFolderIsMadeAndRemoved) {
    here.pages = "/nonexistent-site";
    std::string dir = make_request_dir(here);
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(fs::path(dir).parent_path(), spool);
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const char* name : site_files)
        EXPECT_TRUE(fs::is_symlink(fs::path(dir) / name)) << name;
    EXPECT_TRUE(write_text_file(dir + "/query.frm", "Epoch=2000\n"));
    EXPECT_FALSE(write_text_file(dir + "/query.frm", "again")) << "an existing file is kept";
    remove_request_dir(dir);
    EXPECT_FALSE(fs::exists(dir));
}

static double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A run ends with galsift's messages when it ends by itself, and is cut short, with
// galsift killed, by the time limit or a stop signal sent to the front end.
TEST_F(CgiSpool, RunEndsByItselfOrIsCutShort) {
    catch_stop_signals();
    std::string quick = script("echo \"in $(pwd)\"");
    galsift_run run = run_galsift(quick, spool.string(), 10);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.messages, "in " + spool.string() + "\n");

    std::string slow = script("exec /bin/sleep 30");
    auto start = std::chrono::steady_clock::now();
    run = run_galsift(slow, spool.string(), 1);
    EXPECT_FALSE(run.finished);
    EXPECT_LT(seconds_since(start), 5.0) << "the time limit of 1 s";

    pid_t front_end = getpid();
    pid_t sender = fork();
    ASSERT_GE(sender, 0);
    if (sender == 0) {
        usleep(300000);
        kill(front_end, SIGTERM);
        _exit(0);
    }
    start = std::chrono::steady_clock::now();
    run = run_galsift(slow, spool.string(), 20);
    double took = seconds_since(start);
    waitpid(sender, nullptr, 0);
    EXPECT_FALSE(run.finished);
    EXPECT_LT(took, 5.0) << "a stop signal ends the run at once";
}

TEST_F(CgiSpool, RunSlotsAreHandedOutUpToTheLimitAndWaitedForUpToTheWaitLimit) {
    here.runs_limit = 2;
    here.wait_limit = 0;
    int first = take_run_slot(here);
    int second = take_run_slot(here);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    EXPECT_EQ(take_run_slot(here), -1) << "both slots are held";
    give_back_run_slot(first);
    int again = take_run_slot(here);
    EXPECT_GE(again, 0) << "a slot given back is taken again";

    here.wait_limit = 1;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(take_run_slot(here), -1);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 1.0);
    EXPECT_LT(waited, 5.0);

    // A slot held by a process that ends is free at once.
    give_back_run_slot(again);
    pid_t holder = fork();
    if (holder == 0) {
        _exit(take_run_slot(here) >= 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(holder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    here.wait_limit = 0;
    int last = take_run_slot(here);
    EXPECT_GE(last, 0);
    give_back_run_slot(last);
    give_back_run_slot(second);
    for (const auto& entry : fs::directory_iterator(spool))
        EXPECT_EQ(entry.path().filename().string().rfind("slot-", 0), 0u) << entry.path();
}

TEST_F(CgiSpool, ASlotGivenBackGoesToTheFrontEndThatWaitedNotToOneThatJustCame) {
    here.runs_limit = 1;
    here.wait_limit = 0;
    int held = take_run_slot(here);
    ASSERT_GE(held, 0);
    pid_t waiter = fork();
    if (waiter == 0) {
        close(held); // the lock is the parent's alone
        here.wait_limit = 5;
        int slot = take_run_slot(here);
        usleep(500000); // holds it while the newcomer tries
        _exit(slot >= 0 ? 0 : 1);
    }
    usleep(300000); // the waiter is in the queue
    give_back_run_slot(held);
    EXPECT_EQ(take_run_slot(here), -1) << "the newcomer went ahead of the waiter";
    int status = 0;
    waitpid(waiter, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the waiter got the slot";
}
