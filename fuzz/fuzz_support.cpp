// The scratch directory, state reset, record bookkeeping and output capture of the fuzz
// targets.
#include "fuzz_support.h"

#include "catalogue/record.h"
#include "catalogue/record_pool.h"
#include "flow/globals.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <unistd.h>
#include <vector>

static std::string scratch_path;          // the private directory, empty until entered
static std::string start_path;            // the working directory the process started in
static std::vector<record*> handed_out;   // records allocated since the last release
static std::FILE* saved_stdout = nullptr; // the real standard output while capturing
static char* captured = nullptr;          // the memory stream's text
static std::size_t captured_size = 0;     // and its length

// Removes the private directory when the process ends normally.
static void remove_scratch_dir() {
    if (scratch_path.empty())
        return;
    std::error_code error;
    std::filesystem::remove_all(scratch_path, error);
}

// Enters the private directory; creates it first, in shared memory when there is some.
void enter_scratch_dir() {
    if (!scratch_path.empty()) {
        if (chdir(scratch_path.c_str()) != 0) {
            std::perror(scratch_path.c_str());
            std::abort();
        }
        return;
    }
    std::error_code error;
    start_path = std::filesystem::current_path(error).string();
    std::string base = std::filesystem::is_directory("/dev/shm", error)
                           ? std::string("/dev/shm")
                           : std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/galsift-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    if (!mkdtemp(name.data()) || chdir(name.data()) != 0) {
        std::perror("galsift fuzz: scratch directory");
        std::abort();
    }
    scratch_path = name.data();
    std::atexit(remove_scratch_dir);
}

// Goes back to the directory the process started in.
void leave_scratch_dir() {
    if (!start_path.empty() && chdir(start_path.c_str()) != 0) {
        std::perror(start_path.c_str());
        std::abort();
    }
}

// Writes the bytes as they stand; a file that cannot be written stops the target, since
// every later check would be meaningless.
void write_file(const char* name, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(name, "wb");
    if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file)) {
        std::perror(name);
        std::abort();
    }
}

// Reads the whole file, or gives the empty text with `found` false when it is not there.
std::string read_file(const char* name, bool& found) {
    std::string content;
    std::FILE* file = std::fopen(name, "rb");
    found = file != nullptr;
    if (!file)
        return content;
    char block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        content.append(block, got);
    std::fclose(file);
    return content;
}

// The start-up values of every program-wide variable, and no record left.
void reset_fuzz_state() {
    reset_program_state();
    release_records();
}

// Records for the fuzz targets: the program's own pool keeps every record until exit,
// which over millions of inputs would grow without bound. This one hands out records
// the same way (new, empty, or null when memory is exhausted) and frees them between
// inputs. It takes the place of the pool when the target is linked.
record* new_record() {
    void* memory = std::malloc(sizeof(record));
    if (!memory)
        return nullptr;
    handed_out.push_back(new (memory) record());
    return handed_out.back();
}

// Frees every record handed out since the last call.
void release_records() {
    for (record* entry : handed_out)
        std::free(entry);
    handed_out.clear();
}

// Points standard output at a memory stream.
void begin_capture() {
    std::fflush(stdout);
    saved_stdout = stdout;
    captured = nullptr;
    captured_size = 0;
    stdout = open_memstream(&captured, &captured_size);
    if (!stdout) {
        stdout = saved_stdout;
        std::perror("galsift fuzz: open_memstream");
        std::abort();
    }
}

// Restores standard output and returns what was written to it meanwhile.
std::string end_capture() {
    std::fclose(stdout);
    stdout = saved_stdout;
    std::string text(captured, captured_size);
    std::free(captured);
    captured = nullptr;
    return text;
}

// Reports a broken invariant and aborts, so that libFuzzer keeps the input.
void finding(const char* what, const std::string& detail) {
    if (stdout != saved_stdout && saved_stdout)
        end_capture();
    leave_scratch_dir(); // libFuzzer writes the input where it was told, relative to there
    std::fprintf(stderr, "galsift fuzz finding: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// Equal bit patterns (so NaN equals the same NaN, and -0 differs from 0).
bool same_double(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
