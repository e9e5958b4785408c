// A query's way through the server: decode it, select from the store, write the answer.
#include "server/answer_results.h"

#include "flow/messages.h"
#include "flow/stages.h"
#include "input/input_file.h"
#include "output/page_writer.h"
#include "page/results_page.h"
#include "query/query_bounds.h"
#include "query/query_form.h"
#include "server/answer_pictures.h"
#include "server/fcgi_response.h"
#include "server/held_site.h"
#include "store/store_select.h"
#include "vo/cone_search.h"
#include "vo/table_responses.h"
#include "vo/votable.h"
#include "web/form_data.h"
#include "web/form_page.h"
#include "web/query_text.h"
#include "web/response.h"
#include "web/run_answer.h"

#include <chrono>
#include <string>
#include <vector>

// ---- The request ----

static const char* request_variable(void* request, const char* name) {
    return FCGX_GetParam(name, static_cast<FCGX_Request*>(request)->envp);
}

static std::size_t read_body(void* request, char* into, std::size_t size) {
    int got = FCGX_GetStr(into, static_cast<int>(size), static_cast<FCGX_Request*>(request)->in);
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

// The query the accepted `fields` give, read and checked as galsift reads and checks its
// form, the messages going where this thread's go. Returns query_valid or query_invalid.
static int read_fields(const query_fields& fields, query_bounds& query) {
    std::string text = query_form_text(fields);
    input_file form;
    if (!form.open_memory(text.data(), text.size())) {
        say(messages::no_query_file);
        return query_invalid;
    }
    return read_query_form(form, query);
}

// ---- Answers held in a turn ----

// Starts `response` of `head` for `request`, written by the deadline of `server`'s time
// limit from `started`; the turn goes with it (given back when the body is streamed).
static void start_response(fcgi_response& response, FCGX_Request& request, const std::string& head,
                           server_context& server, held_turn& turn,
                           std::chrono::steady_clock::time_point started) {
    open_response(response, request, head);
    response.deadline = started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                      std::chrono::duration<double>(server.settings.time_limit));
    response.turns = &turn.turns;
    turn.held = false; // the response gives it back
}

// Ends `response`; a query past the time limit is answered 500, alone.
static void end_response(fcgi_response& response, FCGX_Request& request) {
    if (response.turns)
        give_turn(*response.turns);
    response.turns = nullptr;
    if (finish_response(response) == response_late)
        send_whole(request, messages_response(500, "The site cannot answer now",
                                              "the query did not finish\n"));
}

// The refusal of an answer longer than the site sends at once.
static std::string too_long_response(std::size_t rows, int limit) {
    return messages_response(400, "The answer is too long",
                             "the query selects " + std::to_string(rows) +
                                 " entries; this site sends at most " + std::to_string(limit) +
                                 " in a complete page or a download: ask a smaller box, or "
                                 "the page of the first rows\n");
}

// The page or the download of `selection` of `held` for `query`.
static void write_selection(fcgi_response& response, const held_catalogue& held,
                            const site_state& state, const query_bounds& query,
                            const store_selection& selection, const result_choice& choice,
                            const server_settings& settings, const std::string& data) {
    row_cursor cursor;
    entry_reader reader =
        rows_reader(held.store, selection.rows.data(), selection.rows.size(), cursor);
    if (choice.format != format_page) {
        text_sink out;
        out.deliver = deliver_to_response;
        out.to = &response;
        const site_publisher& publisher = *state.publisher;
        put_selection(choice.format, reader, query.epoch,
                      publisher.services.frames[query.epoch == 1950 ? 1 : 0], publisher.texts, out);
        out.flush();
        return;
    }
    std::string notice = cut_notice_text(data, settings.limits.page_rows);
    results_answer answer;
    answer.query = &query;
    answer.style = &state.style;
    answer.publisher = &state.publisher->texts;
    answer.total_number = static_cast<int>(held.store.size());
    answer.number_of_selected = static_cast<int>(selection.count);
    if (!choice.all_rows) {
        answer.table_row_limit = settings.limits.page_rows; // 0 leaves the table whole
        answer.cut_notice = notice.c_str();
    }
    answer.rows = reader;
    page_writer page;
    page.start_delivering(deliver_to_response, &response);
    write_results_page(page, answer);
}

// ---- /results ----

void answer_results(FCGX_Request& request, server_context& server) {
    const server_settings& settings = server.settings;
    std::string data, why;
    query_fields fields;
    result_choice choice;
    request_reader reader{request_variable, read_body, &request};
    if (!read_form_data(reader, data, why) || !take_result_choice(data, choice, why)) {
        send_whole(request, messages_response(400, refused_title, why + "\n"));
        return;
    }
    std::string refused = answer_before_run(reader, data, fields, current_site()->publisher->texts);
    if (!refused.empty()) {
        send_whole(request, refused);
        return;
    }
    held_turn turn(server.turns, &request);
    if (!turn.held) {
        send_whole(request,
                   busy_response(settings.here.wait_limit > 0 ? settings.here.wait_limit : 1));
        return;
    }
    auto started = std::chrono::steady_clock::now();
    std::shared_ptr<const site_state> state = current_site();

    // Decode: the query as galsift reads it, with galsift's messages.
    std::string said = state->style_messages;
    query_bounds query;
    say_into(&said);
    int valid = read_fields(fields, query);
    if (valid != query_valid)
        say(messages::query_error);
    else if (!catalogue_name(query.epoch))
        say(messages::invalid_epoch);
    say_into(nullptr);
    if (valid != query_valid || !catalogue_name(query.epoch)) {
        turn.give_back();
        send_whole(request,
                   form_response(400, "No results page", fields, said, state->publisher->texts));
        return;
    }
    const held_catalogue* held = state->catalogue_of(query.epoch);
    if (!held) {
        turn.give_back();
        send_whole(request, busy_response(1)); // its first reading has not ended
        return;
    }
    if (!held->readable) {
        turn.give_back();
        send_whole(request, messages_response(500, "No results page",
                                              said + held->messages + messages::page_not_created));
        return;
    }

    // Select.
    // A download, or a page of every row (asked for, or the site's page row limit 0).
    bool complete =
        choice.format != format_page || choice.all_rows || settings.limits.page_rows == 0;
    std::size_t shown = complete ? SIZE_MAX : static_cast<std::size_t>(settings.limits.page_rows);
    store_selection selection = select_box(held->store, query, shown);
    if (choice.format == format_sky) { // its picture, of any length: drawn whole
        std::string picture = sky_plot_of(held->store, selection.rows, query);
        turn.give_back();
        send_picture(request, picture);
        return;
    }
    if (complete && settings.limits.all_rows > 0 &&
        selection.count > static_cast<std::size_t>(settings.limits.all_rows)) {
        turn.give_back();
        send_whole(request, too_long_response(selection.count, settings.limits.all_rows));
        return;
    }

    // Write.
    fcgi_response response;
    std::string head =
        choice.format == format_page
            ? results_page_head()
            : table_head(content_type_of(choice.format), file_name_of(choice.format, query.epoch));
    start_response(response, request, head, server, turn, started);
    write_selection(response, *held, *state, query, selection, choice, settings, data);
    end_response(response, request);
}

// ---- /query.htm ----

void answer_query_form(FCGX_Request& request, server_context&) {
    send_whole(request, form_response(200, form_title, default_fields(), "",
                                      current_site()->publisher->texts));
}

// ---- /cone ----

void answer_cone_search(FCGX_Request& request, server_context& server) {
    const char* query = FCGX_GetParam("QUERY_STRING", request.envp);
    cone_request asked;
    std::string why;
    if (!read_cone_request(query ? query : "", asked, why)) {
        send_whole(request, cone_error_response(why));
        return;
    }
    held_turn turn(server.turns, &request);
    if (!turn.held) {
        int wait = server.settings.here.wait_limit;
        send_whole(request, busy_response(wait > 0 ? wait : 1));
        return;
    }
    auto started = std::chrono::steady_clock::now();
    std::shared_ptr<const site_state> state = current_site();
    const held_catalogue* held = state->catalogue_of(2000);
    if (!held || !held->readable) {
        turn.give_back();
        send_whole(request, cone_error_response("the catalogue cannot be read now"));
        return;
    }
    cone_service service;
    service.row_limit = static_cast<std::size_t>(server.settings.limits.cone_rows);
    service.frame = state->publisher->services.frames[0];
    fcgi_response response;
    start_response(response, request, table_head(asked.content_type, nullptr), server, turn,
                   started);
    text_sink out;
    out.deliver = deliver_to_response;
    out.to = &response;
    write_cone_answer(asked, held->store, service, out);
    out.flush();
    end_response(response, request);
}
