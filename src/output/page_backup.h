// page_backup: the bytes of a page about to be written over in place, held so that they
// can be put back when the new page cannot be written whole.
//
// Where the page's directory cannot be written, the page cannot be replaced by a new file
// moved over it: it is emptied and written again. The earlier page is read into memory
// first; if the new one fails (a full disk, a failed write), the earlier bytes are written
// back. Emptying the file gives back the room the failed page took, so putting back a
// page that fitted before fits again, unless something else takes that room in between.
#ifndef GALSIFT_OUTPUT_PAGE_BACKUP_H
#define GALSIFT_OUTPUT_PAGE_BACKUP_H

#include <cstddef>

struct page_backup {
    char* bytes = nullptr; // the earlier page, byte for byte; null when none is held
    std::size_t size = 0;  // bytes held

    page_backup() = default;
    page_backup(const page_backup&) = delete;
    page_backup& operator=(const page_backup&) = delete;
    ~page_backup();

    // Reads the whole of `name`, a regular file or a link to one, as it stands. Returns
    // true when every byte is held; false when it is not a regular file, cannot be opened
    // or read to its end, or there is no memory for it (nothing is held then).
    bool keep(const char* name);
    // Empties `name` and writes the held bytes into it. Returns true when every byte was
    // written and the file closed without error; false otherwise.
    bool put_back(const char* name) const;
};

#endif
