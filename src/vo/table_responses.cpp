// Building the responses of the cone search and the downloads.
#include "vo/table_responses.h"

#include "vo/cone_search.h"
#include "vo/votable.h"

#include <cassert>

// A 200 response holding `body` of `content_type`; with a `file_name`, offered for saving
// under that name.
static std::string response(const char* content_type, const char* file_name,
                            const std::string& body) {
    std::string head = "Status: 200 OK\r\nContent-Type: " + std::string(content_type) +
                       "\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\nX-Content-Type-Options: nosniff\r\n";
    if (file_name)
        head += "Content-Disposition: attachment; filename=\"" + std::string(file_name) + "\"\r\n";
    return head + "\r\n" + body;
}

// The answer to the cone search `query` (the URL's query string) over the J2000
// catalogue list from `first`, at most `row_limit` rows (0: every row). A refused request
// is answered with a VOTable that says why, with status 200, as cone search clients
// expect.
std::string cone_response(const std::string& query, const record* first, std::size_t row_limit) {
    text_sink out;
    answer_cone(query, first, row_limit, out);
    return response(votable_content_type, nullptr, out.held);
}

// A cone search answered with `message` as its error, when the catalogue cannot be read.
std::string cone_error_response(const std::string& message) {
    text_sink out;
    put_votable_error(out, message);
    return response(votable_content_type, nullptr, out.held);
}

// The download of the selection chain from `first_selected` at `epoch`, as a VOTable or
// CSV file.
std::string selection_response(result_format format, const record* first_selected, int epoch) {
    assert(format != format_page);
    text_sink out;
    put_selection(format, chain_reader(&first_selected), epoch, out);
    return response(content_type_of(format), file_name_of(format, epoch), out.held);
}
