// galsift-check FILE: reads a catalogue file as galsift reads it and says what galsift
// will make of it. Never writes the file.
//
// Exit status: 0 when the file reads cleanly, 1 when there are findings, 2 when the file
// cannot be read (or the command line is wrong).
#include "tools/catalogue_check.h"
#include "version.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

const char usage[] = "usage: galsift-check FILE | --help | --version\n"
                     "Reads a catalogue file (CG2000.dat, CG1950.dat) as galsift reads it and\n"
                     "reports its entries, where reading stops and every field galsift would\n"
                     "misread. Exit status: 0 clean, 1 findings, 2 the file cannot be read.\n";
const char version[] = "galsift-check " GALSIFT_VERSION "\n";
const char cannot_read[] = "galsift-check: cannot read %s\n";
const char no_memory[] = "galsift-check: not enough memory to check %s\n";

// Exit statuses besides write_report's 0 and 1.
const int exit_unreadable = 2;

// Reads the whole of `name` into `bytes`. As galsift does, only a regular file, or a link
// to one, is read. Returns false when it cannot be opened or read.
bool read_whole(const char* name, std::vector<char>& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error))
        return false;
    std::FILE* handle = std::fopen(name, "rb");
    if (!handle)
        return false;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, handle)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    bool failed = std::ferror(handle) != 0;
    std::fclose(handle);
    return !failed;
}

} // namespace

int main(int argc, char** argv) {
    const char* name = nullptr;
    for (int n = 1; n < argc; n++) {
        if (std::strcmp(argv[n], "--help") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[n], "--version") == 0) {
            std::fputs(version, stdout);
            return 0;
        }
        if ((argv[n][0] == '-' && argv[n][1] != 0) || name) {
            std::fputs(usage, stderr);
            return exit_unreadable;
        }
        name = argv[n];
    }
    if (!name) {
        std::fputs(usage, stderr);
        return exit_unreadable;
    }
    std::vector<char> bytes;
    if (!read_whole(name, bytes)) {
        std::fprintf(stderr, cannot_read, name);
        return exit_unreadable;
    }
    check_report report;
    if (!check_catalogue(bytes.data(), bytes.size(), report)) {
        std::fprintf(stderr, no_memory, name);
        return exit_unreadable;
    }
    return write_report(report, name, stdout);
}
