// vo_probe: the site's tables written without a web server, for the tests that read them
// with astropy. Run in a folder holding the site's files:
//   vo_probe cone QUERY [ROWS]   the cone search's answer over CG2000.dat, at most ROWS rows
//   vo_probe votable | csv       the download of the selection of query.frm
// The answer goes to standard output; the stages' messages to standard error.
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "page/publisher.h"
#include "query/query_form.h"
#include "store/store_load.h"
#include "vo/cone_search.h"
#include "vo/result_formats.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

static bool to_stdout(void*, const char* bytes, std::size_t length) {
    return std::fwrite(bytes, 1, length, stdout) == length;
}

// Reads a catalogue with the program's own stages; false when it cannot be read whole.
static bool load(const char* name) {
    int saved = dup(1);
    dup2(2, 1); // the stages' messages must not mix with the answer
    bool read = Read_record_list(name) == catalogue_read;
    if (read)
        Correct_record_list();
    std::fflush(stdout);
    dup2(saved, 1);
    close(saved);
    return read;
}

int main(int argc, char** argv) {
    text_sink out;
    out.deliver = to_stdout;
    if (argc >= 3 && std::strcmp(argv[1], "cone") == 0) {
        catalogue_store store;
        store_load_report report;
        if (load_store("CG2000.dat", store, report) != store_loaded)
            return 1;
        std::size_t rows = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 0;
        cone_service service;
        service.row_limit = rows;
        answer_cone(argv[2], store, service, out);
    } else if (argc == 2) {
        result_format format = std::strcmp(argv[1], "csv") == 0 ? format_csv : format_votable;
        if (init_query_parameters() == 0 || !load(epoch == 1950 ? "CG1950.dat" : "CG2000.dat"))
            return 1;
        result_list_generator();
        const record* first = First_Selected;
        put_selection(format, chain_reader(&first), epoch, frame_of_epoch(epoch),
                      built_in_publisher, out);
    } else {
        std::fputs("usage: vo_probe cone QUERY [ROWS] | votable | csv\n", stderr);
        return 2;
    }
    out.flush();
    return std::fflush(stdout) == 0 ? 0 : 1;
}
