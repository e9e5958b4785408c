// Platform file: creating a page's file of its own, and moving the finished page over the
// old one.
//
// Everything else in the program is the standard library alone; this is the one place
// that asks the operating system for what the standard library does not offer: a file
// created only if its name is free, and a move that replaces the target in one step.
#include "output/replace_file.h"

#include <cassert>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

// Names tried before giving up: each is taken only by a file someone else put there.
static const int name_tries = 100;

#ifdef _WIN32
// Moves tried, 10 ms apart, while another process holds the page.
static const int move_tries = 50;
#endif

// A well-mixed 64-bit value from `x` (splitmix64's finaliser).
static std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

// A value that differs between processes and between calls: the process id, the clock
// and a count of calls. Uniqueness is only a convenience, since creation is exclusive.
static std::uint64_t fresh_value() {
    static std::uint64_t calls = 0;
#ifdef _WIN32
    std::uint64_t process = static_cast<std::uint64_t>(_getpid());
#else
    std::uint64_t process = static_cast<std::uint64_t>(getpid());
#endif
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return mix(mix(process) ^ static_cast<std::uint64_t>(ticks) ^ mix(++calls));
}

// Opens `name` for writing in text mode only if nothing of that name exists, not even a
// link (a link is never followed). Returns nullptr, with errno set, when it cannot.
static std::FILE* open_exclusive(const char* name) {
#ifdef _WIN32
    int fd = _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return nullptr;
    std::FILE* file = _fdopen(fd, "w");
    if (!file)
        _close(fd);
#else
    int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
#ifdef O_NOFOLLOW
    flags |= O_NOFOLLOW;
#endif
    int fd = open(name, flags, 0666);
    if (fd < 0)
        return nullptr;
    std::FILE* file = fdopen(fd, "w");
    if (!file)
        close(fd);
#endif
    return file;
}

// Creates a new, empty file for writing, in text mode, named `prefix` followed by six
// letters or digits, and puts that name in `name`. The file is created only where no
// file, directory or link of that name exists, so nothing that was there before is
// opened, changed or followed. Returns the open file; nullptr when none can be created:
// the directory cannot be written, or every name tried was already taken.
std::FILE* create_new_file(const char* prefix, char (&name)[new_file_name_size]) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::size_t length = std::strlen(prefix);
    assert(length + 7 <= new_file_name_size);
    std::memcpy(name, prefix, length);
    for (int n = 0; n < name_tries; n++) {
        std::uint64_t value = fresh_value();
        for (std::size_t i = 0; i < 6; i++, value /= 36)
            name[length + i] = letters[value % 36];
        name[length + 6] = '\0';
        if (std::FILE* file = open_exclusive(name))
            return file;
        if (errno != EEXIST)
            break;
    }
    name[0] = '\0';
    return nullptr;
}

// Moves `from` to `to`, replacing `to` if it exists, in one step, so that a reader of
// `to` sees either the old file or the new one. A link at `to` is replaced, not followed.
// Returns false when the move failed.
bool replace_file(const char* from, const char* to) {
#ifdef _WIN32
    // rename() on Windows refuses to replace an existing file. While another process
    // replaces or reads the same page, the move is refused for a moment: it is tried
    // again for up to half a second.
    for (int tries = 0; tries < move_tries; tries++) {
        if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
            return false;
        Sleep(10);
    }
    return false;
#else
    return std::rename(from, to) == 0;
#endif
}
