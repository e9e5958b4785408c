// Building the responses of the cone search and the downloads.
#include "vo/table_responses.h"

#include "vo/votable.h"

#include <cassert>

// The status line and headers of a 200 answer of `content_type`, each ending in CR LF,
// without its length; with a `file_name`, offered for saving under that name.
std::string table_head(const char* content_type, const char* file_name) {
    std::string head = "Status: 200 OK\r\nContent-Type: " + std::string(content_type) +
                       "\r\nX-Content-Type-Options: nosniff\r\n";
    if (file_name)
        head += "Content-Disposition: attachment; filename=\"" + std::string(file_name) + "\"\r\n";
    return head;
}

// A 200 response holding `body` of `content_type`, offered under `file_name` if any.
static std::string response(const char* content_type, const char* file_name,
                            const std::string& body) {
    return table_head(content_type, file_name) + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// The answer to the cone search `query` (the URL's query string) over `store`, the J2000
// catalogue, as `service` sets it, in the format the query asks for. A refused request
// is answered with a VOTable that says why, with status 200, as cone search clients
// expect.
std::string cone_response(const std::string& query, const catalogue_store& store,
                          const cone_service& service) {
    text_sink out;
    cone_request request;
    std::string why;
    if (!read_cone_request(query, request, why)) {
        put_votable_error(out, why);
        return response(votable_content_type, nullptr, out.held);
    }
    write_cone_answer(request, store, service, out);
    return response(request.content_type, nullptr, out.held);
}

// A cone search answered with `message` as its error, when the catalogue cannot be read.
std::string cone_error_response(const std::string& message) {
    text_sink out;
    put_votable_error(out, message);
    return response(votable_content_type, nullptr, out.held);
}

// The download of the selected entries `rows` at `epoch`, as a VOTable or CSV file, the
// positions in the epoch's default frame, a VOTable described with `publisher`'s texts.
std::string selection_response(result_format format, entry_reader rows, int epoch,
                               const publisher_texts& publisher) {
    assert(format != format_page);
    text_sink out;
    put_selection(format, rows, epoch, frame_of_epoch(epoch), publisher, out);
    return response(content_type_of(format), file_name_of(format, epoch), out.held);
}
