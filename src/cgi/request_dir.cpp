// Creating, filling and removing a request's working directory. Names inside it are
// the fixed names galsift uses; nothing a visitor sends becomes part of a path.
#include "cgi/request_dir.h"

#include "page/results_page.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

// Prefix of every request directory, so that the sweep touches nothing else.
static const char request_prefix[] = "request-";

// Creates a new directory only this process knows of (mode 0700) under the spool and
// links the site's files into it. Returns its path, or "" when it cannot be made.
std::string make_request_dir(const site& here) {
    mkdir(here.spool.c_str(), 0700); // an existing spool is fine
    std::string pattern = here.spool + "/" + request_prefix + "XXXXXX";
    if (!mkdtemp(&pattern[0]))
        return "";
    for (const char* name : site_files) {
        std::string target = here.pages + "/" + name;
        std::string link = pattern + "/" + name;
        if (symlink(target.c_str(), link.c_str()) != 0) {
            remove_request_dir(pattern);
            return "";
        }
    }
    return pattern;
}

// Writes `text` to a new file at `path`. Returns false when it cannot be written whole.
bool write_text_file(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// Reads the whole file at `path` into `text`. Returns false when there is none.
bool read_text_file(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return !in.bad();
}

// Whether `name` is one of the files galsift writes its page to before moving it over
// the page: a run that was killed may leave one.
static bool is_new_page(const char* name) {
    return std::strncmp(name, new_page_prefix, sizeof new_page_prefix - 1) == 0;
}

// Removes a request directory and what galsift may have left in it: the links, the
// form, the page and the page's new file. Only these names are ever created there.
void remove_request_dir(const std::string& dir) {
    for (const char* name : site_files)
        unlink((dir + "/" + name).c_str());
    for (const char* name : {"query.frm", page_name})
        unlink((dir + "/" + name).c_str());
    if (DIR* inside = opendir(dir.c_str())) {
        while (dirent* entry = readdir(inside))
            if (is_new_page(entry->d_name))
                unlink((dir + "/" + entry->d_name).c_str());
        closedir(inside);
    }
    rmdir(dir.c_str());
}

// Removes the request directories whose requests have ended at least `retention` seconds
// ago. A directory is kept longer than galsift may run, so that no running request loses
// its own; with no retention, this is what removes the directory of a front end that was
// killed before it could remove its own (each other request removes its own at once).
void sweep_spool(const site& here) {
    long keep = here.retention > here.time_limit ? here.retention : here.time_limit + 1L;
    DIR* spool = opendir(here.spool.c_str());
    if (!spool)
        return;
    std::time_t now = std::time(nullptr);
    while (dirent* entry = readdir(spool)) {
        std::string name = entry->d_name;
        if (name.compare(0, sizeof request_prefix - 1, request_prefix) != 0)
            continue;
        std::string path = here.spool + "/" + name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && now - info.st_mtime > keep)
            remove_request_dir(path);
    }
    closedir(spool);
}
