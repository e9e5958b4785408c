// Support shared by the fuzz targets.
//
// The stages read and write fixed file names in the working directory and share
// program-wide state, so every target works in a private directory that it enters once,
// puts the state back to its start-up values before each input, and catches standard
// output in memory to compare the messages with what they should be.
#ifndef GALSIFT_FUZZ_FUZZ_SUPPORT_H
#define GALSIFT_FUZZ_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>

// Makes the process's private directory the working directory, creating it the first
// time (it is removed at exit). leave_scratch_dir goes back to the directory the process
// started in, so that paths given to libFuzzer relative to it keep working.
void enter_scratch_dir();
void leave_scratch_dir();

// Writes `size` bytes to `name`, replacing it.
void write_file(const char* name, const std::uint8_t* data, std::size_t size);

// The whole content of `name`, and whether it exists (`found`).
std::string read_file(const char* name, bool& found);

// Puts every program-wide variable back to its start-up value and frees the records that
// the previous input allocated.
void reset_fuzz_state();

// Frees every record handed out by new_record since the last call.
void release_records();

// Sends standard output to memory until end_capture, which returns what was written.
void begin_capture();
std::string end_capture();

// Stops the target with a message on the error stream: a finding.
[[noreturn]] void finding(const char* what, const std::string& detail);

// Bitwise equality of two doubles: the readers must give the very same value.
bool same_double(double a, double b);

#endif
