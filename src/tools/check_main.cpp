// galsift-check FILE | FOLDER: reads a catalogue file as galsift reads it and says what
// galsift will make of it; given a site's folder, both its catalogue files, and whether
// they hold as many entries each. Never writes.
//
// Exit status: 0 when galsift reads the files as they stand (warnings aside), 1 when it
// reads something else somewhere, 2 when a file cannot be read (or the command line is
// wrong).
#include "tools/catalogue_check.h"
#include "version.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "usage: galsift-check FILE | FOLDER | --help | --version\n"
    "Reads a catalogue file (CG2000.dat, CG1950.dat), or both of a site's FOLDER, as galsift\n"
    "reads it and reports its entries, where reading stops and every field galsift would\n"
    "misread; warnings for what it reads as written but is seldom meant, and for a site's\n"
    "two files holding different numbers of entries. Exit status: 0 read as written\n"
    "(warnings aside), 1 findings, 2 a file cannot be read.\n";
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

// Checks the catalogue file `name` and writes its report to standard output; `report`
// receives what was found. Returns the exit status: write_report's 0 or 1, or
// exit_unreadable when the file cannot be read.
int check_file(const char* name, check_report& report) {
    std::vector<char> bytes;
    if (!read_whole(name, bytes)) {
        std::fprintf(stderr, cannot_read, name);
        return exit_unreadable;
    }
    if (!check_catalogue(bytes.data(), bytes.size(), report)) {
        std::fprintf(stderr, no_memory, name);
        return exit_unreadable;
    }
    return write_report(report, name, stdout);
}

// Checks both catalogue files of the site's folder `folder`, then whether they hold as
// many entries. Returns the worse of the two files' statuses.
int check_folder(const char* folder) {
    std::string j2000 = (std::filesystem::path(folder) / "CG2000.dat").string();
    std::string b1950 = (std::filesystem::path(folder) / "CG1950.dat").string();
    check_report new_epoch, old_epoch;
    int status = check_file(j2000.c_str(), new_epoch);
    status = std::max(status, check_file(b1950.c_str(), old_epoch));
    if (status != exit_unreadable)
        write_pair_report(new_epoch, old_epoch, folder, stdout);
    return status;
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
    std::error_code error;
    if (std::filesystem::is_directory(name, error))
        return check_folder(name);
    check_report report;
    return check_file(name, report);
}
