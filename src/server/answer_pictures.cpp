// Drawing the pictures for the server's answers, and keeping the coverage map.
#include "server/answer_pictures.h"

#include "picture/coverage_map.h"
#include "picture/sky_plot.h"
#include "server/fcgi_response.h"
#include "server/held_site.h"
#include "store/store_select.h"
#include "web/response.h"

#include <memory>
#include <mutex>

std::string sky_plot_of(const catalogue_store& store, const std::vector<std::uint32_t>& rows,
                        const query_bounds& query) {
    row_cursor cursor;
    return sky_plot_svg(rows_reader(store, rows.data(), rows.size(), cursor), rows.size(), query);
}

bool send_picture(FCGX_Request& request, const std::string& svg) {
    fcgi_response response;
    open_response(response, request, picture_head());
    deliver_to_response(&response, svg.data(), svg.size());
    return finish_response(response) == response_sent;
}

// The coverage map last drawn, and the catalogue it was drawn from: the map is that
// catalogue's for as long as it is held, and a catalogue read anew is another one.
static std::mutex coverage_lock;                       // guards the two below
static std::weak_ptr<const held_catalogue> drawn_from; // expired once it is let go
static std::shared_ptr<const std::string> drawn_map;   // the map, an SVG document

void answer_coverage(FCGX_Request& request, server_context& server) {
    std::shared_ptr<const held_catalogue> held = current_site()->catalogues[0];
    std::shared_ptr<const std::string> answer;
    {
        std::lock_guard<std::mutex> hold(coverage_lock);
        if (held && drawn_from.lock() == held)
            answer = drawn_map;
    }
    if (!answer) {
        if (!take_turn(server.turns, &request)) {
            int wait = server.settings.here.wait_limit;
            send_whole(request, busy_response(wait > 0 ? wait : 1));
            return;
        }
        catalogue_store none;
        const catalogue_store& store = held && held->readable ? held->store : none;
        answer = std::make_shared<const std::string>(coverage_map_svg(store, 2000));
        give_turn(server.turns);
        std::lock_guard<std::mutex> hold(coverage_lock);
        drawn_from = held;
        drawn_map = answer;
    }
    send_picture(request, *answer);
}
