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

// Puts every program-wide variable back to its start-up value.
inline void reset_program_state() {
    epoch = 2000;
    minimal_ascension = maximal_ascension = arc();
    minimal_declination = maximal_declination = arc();
    min_redshift = max_redshift = 0;
    border = width = height = 0;
    color_interchange = header_align = cell_align = 0;
    table_align = 'c';
    DB_First = record();
    total_number = 0;
    First_Selected = nullptr;
    number_of_selected = 0;
}

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
        std::filesystem::remove_all(here);
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
