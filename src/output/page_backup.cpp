// Holding a page's earlier bytes while it is written over in place, and putting them back.
#include "output/page_backup.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

page_backup::~page_backup() {
    std::free(bytes);
}

bool page_backup::keep(const char* name) {
    assert(!bytes);
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error))
        return false;
    std::FILE* file = std::fopen(name, "rb");
    if (!file)
        return false;
    std::size_t room = 0;
    bool failed = false;
    for (;;) {
        if (size == room) {
            std::size_t more = room ? room : 1 << 16;
            char* grown = room <= static_cast<std::size_t>(-1) / 2
                              ? static_cast<char*>(std::realloc(bytes, room + more))
                              : nullptr;
            if (!grown) {
                failed = true;
                break;
            }
            bytes = grown;
            room += more;
        }
        std::size_t got = std::fread(bytes + size, 1, room - size, file);
        size += got;
        if (got == 0) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (failed) {
        std::free(bytes);
        bytes = nullptr;
        size = 0;
    }
    return !failed;
}

bool page_backup::put_back(const char* name) const {
    assert(bytes || size == 0);
    std::FILE* file = std::fopen(name, "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes, 1, size, file) == size;
    written = std::fflush(file) == 0 && written;
    return std::fclose(file) == 0 && written;
}
