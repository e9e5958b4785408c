// Test support: a fresh working directory per test, and the program-wide state put back
// to its start-up values, since the stages read and write fixed file names and share
// program-wide variables.
#ifndef GALSIFT_TESTS_SCRATCH_DIR_H
#define GALSIFT_TESTS_SCRATCH_DIR_H

#include "flow/globals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A fixture that runs each test in a new empty directory with the start-up state.
class scratch_dir : public ::testing::Test {
  protected:
    std::filesystem::path previous, here;

    void SetUp() override {
        previous = std::filesystem::current_path();
        std::random_device seed;
        here = std::filesystem::temp_directory_path() /
               ("galsift-unit-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(here);
        std::filesystem::current_path(here);
        reset_program_state();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        // A test may leave read-only files, which some platforms refuse to remove.
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(here, error))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(here, error);
    }
    static void write_file(const char* name, const std::string& content) {
        std::ofstream(name, std::ios::binary) << content;
    }
    static std::string read_file(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

#endif
