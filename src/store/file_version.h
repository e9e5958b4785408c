// file_version: what tells one version of a file from another (device, inode, size,
// modification time), so that a process holding what it read can tell when to read again
// and whether a file changed while it was read.
#ifndef GALSIFT_STORE_FILE_VERSION_H
#define GALSIFT_STORE_FILE_VERSION_H

#include <sys/stat.h>

#include <ctime>

struct file_version {
    bool found = false; // the file exists
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};

    bool same(const file_version& other) const {
        return found == other.found && device == other.device && inode == other.inode &&
               size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

// The version of the file at `path` now; found is false when there is none.
inline file_version version_of(const char* path) {
    file_version version;
    struct stat info;
    if (stat(path, &info) != 0)
        return version;
    version.found = true;
    version.device = info.st_dev;
    version.inode = info.st_ino;
    version.size = info.st_size;
    version.modified = info.st_mtim;
    return version;
}

#endif
