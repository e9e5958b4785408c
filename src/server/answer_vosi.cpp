// The documents that describe the site, built from what the server holds: the catalogues,
// the publisher's settings, the coverage map.
#include "server/answer_vosi.h"

#include "flow/messages.h"
#include "server/fcgi_response.h"
#include "server/held_coverage.h"
#include "server/held_site.h"
#include "server/request_site.h"
#include "server/tap_http.h"
#include "store/file_version.h"
#include "store/store_load.h"
#include "tap/vosi_documents.h"
#include "vo/moc_writers.h"
#include "vo/registry_record.h"
#include "vo/table_responses.h"
#include "vo/vosi_availability.h"
#include "vo/vosi_capabilities.h"
#include "vo/vosi_tables.h"
#include "web/query_string.h"
#include "web/response.h"

#include "version.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

static const char xml_content_type[] = "text/xml; charset=utf-8";
static const std::time_t started = std::time(nullptr); // when the server started

long long server_started() {
    return static_cast<long long>(started);
}

// A 200 response of `body`, of `content_type`, offered under `file_name` if any.
static std::string whole_response(const char* content_type, const std::string& body,
                                  const char* file_name = nullptr) {
    return table_head(content_type, file_name) + "Content-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// The 503 of a catalogue not (yet) held readable.
static std::string unreadable_response() {
    return messages_response(503, "The site cannot answer now",
                             "the catalogue CG2000.dat cannot be read now\n");
}

// ---- What the documents say ----

// Every capability of the site at `site`: the cone search (its test query from a real
// entry of `catalogue`, when it is readable; its positions in `frame`), the table access
// service at /tap with the limits of `tap_limits`, the VOSI documents, the coverage map.
static std::vector<std::string> site_capabilities(const std::string& site,
                                                  const held_catalogue* catalogue,
                                                  const server_context& server,
                                                  const coordinate_frame& frame,
                                                  const tap_settings& tap_limits) {
    cone_capability_facts facts;
    facts.site = site;
    facts.max_records = static_cast<std::size_t>(server.settings.limits.cone_rows);
    facts.frame = frame;
    if (catalogue && catalogue->readable)
        facts.has_test = test_position(catalogue->store, facts.test);
    return {cone_capability(facts), tap_capability(site + "/tap", tap_limits),
            vosi_capabilities(site), coverage_capability(site)};
}

// The tableset of the registry record, positions in `frames`: the answers of the cone
// search and the downloads (those /tables describes), and the tables the table access
// service lets a query read (those /tap/tables describes), every table accessible through
// the site's services.
static std::vector<described_schema> record_tables(const coordinate_frame frames[2]) {
    std::vector<described_schema> schemas = described_schemas(published_tables());
    schemas.insert(schemas.begin(), answers_schema(frames));
    return schemas;
}

// The coverage map's order: the publisher's, else one for the catalogue's size.
static int order_for(const service_settings& services, const held_catalogue& catalogue) {
    return services.moc_order >= 0 ? services.moc_order : coverage_order(catalogue.store.size());
}

// The seconds since 1970 of the date `date` (YYYY-MM-DD, UTC midnight).
static long long seconds_of(const std::string& date) {
    std::tm parts = {};
    parts.tm_year = std::stoi(date.substr(0, 4)) - 1900;
    parts.tm_mon = std::stoi(date.substr(5, 2)) - 1;
    parts.tm_mday = std::stoi(date.substr(8, 2));
    return static_cast<long long>(timegm(&parts));
}

// The record of the site at `site` from `publisher` (what its publisher.conf gives, which
// holds what a record needs; the file changed at `publisher_changed_at`, 0 for none),
// `catalogue` (readable), `server`'s row limit and the table access service's limits
// `tap_limits`. Returns it, or an empty text with the reason in `why` when the coverage map
// cannot be computed.
static std::string site_record(const std::string& site, const site_publisher& publisher,
                               std::time_t publisher_changed_at,
                               const std::shared_ptr<const held_catalogue>& catalogue,
                               const server_context& server, const tap_settings& tap_limits,
                               std::string& why) {
    registry_settings settings = registry_settings_of(publisher);
    std::shared_ptr<const held_coverage> coverage =
        coverage_of(catalogue, order_for(publisher.services, *catalogue));
    if (!coverage) {
        why = "the coverage map could not be computed";
        return std::string();
    }
    record_facts facts;
    facts.site = site;
    facts.capabilities =
        site_capabilities(site, catalogue.get(), server, settings.frames[0], tap_limits);
    facts.spatial = coverage->summary;
    facts.tables = record_tables(settings.frames);
    file_version file = version_of(catalogue->name);
    long long catalogue_changed = file.found ? file.modified.tv_sec : catalogue->read_at;
    facts.updated = std::max(catalogue_changed, static_cast<long long>(publisher_changed_at));
    facts.created = settings.created.empty() ? catalogue_changed : seconds_of(settings.created);
    facts.updated = std::max(facts.updated, facts.created); // never before it was created
    return record_document(settings, facts);
}

// ---- /capabilities, /availability, /tables ----

// The capabilities, the site's addresses from the request.
void answer_capabilities(FCGX_Request& request, server_context& server) {
    std::shared_ptr<const site_state> state = current_site();
    std::string site = site_of(request, "/capabilities");
    send_whole(request, whole_response(xml_content_type,
                                       capabilities_document(site_capabilities(
                                           site, state->catalogue_of(2000), server,
                                           state->publisher->services.frames[0], tap.settings))));
}

// Available while both catalogues are held readable; the notes say what is amiss with
// the site's files, and why a catalogue is not held.
void answer_availability(FCGX_Request& request, server_context&) {
    std::shared_ptr<const site_state> state = current_site();
    bool available = true;
    std::string notes = state->notes;
    for (int epoch : {2000, 1950}) {
        const held_catalogue* held = state->catalogue_of(epoch);
        if (held && held->readable)
            continue;
        available = false;
        notes += std::string(epoch == 2000 ? "CG2000.dat" : "CG1950.dat") +
                 (held ? " cannot be read: " + held->messages.substr(0, held->messages.find('\n'))
                       : " is being read") +
                 "\n";
    }
    send_whole(request, whole_response(xml_content_type,
                                       availability_document(available, server_started(), notes)));
}

// /tables (with detail=min, without the columns) or /tables/NAME, one table.
void answer_tables(FCGX_Request& request, server_context&) {
    std::shared_ptr<const site_state> state = current_site();
    const coordinate_frame* frames = state->publisher->services.frames;
    std::string path = asked_path(request);
    std::size_t child = path.rfind("/tables/");
    if (child != std::string::npos) {
        std::string document = table_document({answers_schema(frames)}, path.substr(child + 8));
        send_whole(request, document.empty()
                                ? messages_response(404, "Not found", "no such table\n")
                                : whole_response(xml_content_type, document));
        return;
    }
    bool columns = true;
    for (const std::string& pair : query_pairs(request_variable(request, "QUERY_STRING")))
        if (pair == "detail=min")
            columns = false;
    send_whole(request, whole_response(xml_content_type,
                                       tableset_document({answers_schema(frames)}, columns)));
}

// ---- /record, /moc ----

// The J2000 catalogue of `state`, for a request that computes from it under `turn`, a
// worker turn asked for once the catalogue is known readable. Returns null, the request
// answered with 503, when the catalogue cannot be read now or no turn comes.
static std::shared_ptr<const held_catalogue> catalogue_with_turn(FCGX_Request& request,
                                                                 server_context& server,
                                                                 const site_state& state,
                                                                 std::optional<held_turn>& turn) {
    std::shared_ptr<const held_catalogue> catalogue = state.catalogues[0];
    if (!catalogue || !catalogue->readable) {
        send_whole(request, unreadable_response());
        return nullptr;
    }
    turn.emplace(server.turns, &request);
    if (!turn->held) {
        send_whole(request, busy_response(std::max(server.settings.here.wait_limit, 1)));
        return nullptr;
    }
    return catalogue;
}

// The registry record: 404 while publisher.conf lacks what it needs, 503 while the
// catalogue cannot be read or no turn comes, 500 should the coverage map fail.
void answer_record(FCGX_Request& request, server_context& server) {
    std::shared_ptr<const site_state> state = current_site();
    registry_settings settings = registry_settings_of(*state->publisher);
    std::string missing = missing_record_settings(settings);
    if (!missing.empty()) {
        send_whole(request,
                   messages_response(404, "No registry record",
                                     "the site's publisher.conf does not say: " + missing + "\n"));
        return;
    }
    std::optional<held_turn> turn;
    std::shared_ptr<const held_catalogue> catalogue =
        catalogue_with_turn(request, server, *state, turn);
    if (!catalogue)
        return;
    const std::string& own = settings.site_url;
    std::string why;
    std::string record =
        site_record(own.empty() ? site_of(request, "/record") : own, *state->publisher,
                    state->publisher_changed_at, catalogue, server, tap.settings, why);
    turn->give_back();
    send_whole(request, record.empty() ? messages_response(500, "No registry record", why + "\n")
                                       : whole_response(xml_content_type, record));
}

// The coverage map of the J2000 catalogue: FITS, or ASCII with format=ascii; 400 for any
// other parameter, 503 while the catalogue cannot be read or no turn comes.
void answer_moc(FCGX_Request& request, server_context& server) {
    bool ascii = false;
    for (const std::string& pair : query_pairs(request_variable(request, "QUERY_STRING"))) {
        if (pair != "format=ascii" && pair != "format=fits") {
            send_whole(request, messages_response(400, "Not understood",
                                                  "the coverage map takes format=fits or "
                                                  "format=ascii, nothing else\n"));
            return;
        }
        ascii = pair == "format=ascii";
    }
    std::shared_ptr<const site_state> state = current_site();
    std::optional<held_turn> turn;
    std::shared_ptr<const held_catalogue> catalogue =
        catalogue_with_turn(request, server, *state, turn);
    if (!catalogue)
        return;
    const site_publisher& publisher = *state->publisher;
    std::shared_ptr<const held_coverage> coverage =
        coverage_of(catalogue, order_for(publisher.services, *catalogue));
    turn->give_back();
    if (!coverage)
        send_whole(request, messages_response(500, "No coverage map",
                                              "the coverage map could not be computed\n"));
    else if (ascii)
        send_whole(request,
                   whole_response(moc_ascii_content_type, moc_ascii(coverage->map) + "\n"));
    else
        send_whole(request, whole_response(moc_fits_content_type,
                                           moc_fits(coverage->map, publisher.record.identifier,
                                                    std::string("galsift ") + GALSIFT_VERSION),
                                           "galsift-coverage.fits"));
}

// ---- galsift-server --record ----

int print_record(const server_settings& settings) {
    site_publisher publisher;
    std::string said;
    int read = read_publisher_file(publisher_file_name, built_in_publisher, built_in_record,
                                   publisher, said);
    if (read != publisher_read && read != publisher_missing) {
        std::fprintf(stderr, "%sgalsift-server: publisher.conf is refused\n", said.c_str());
        return 1;
    }
    registry_settings record_settings = registry_settings_of(publisher);
    std::string missing = missing_record_settings(record_settings);
    if (record_settings.site_url.empty())
        missing += std::string(missing.empty() ? "" : ", ") + "site_url";
    if (!missing.empty()) {
        std::fprintf(stderr, "galsift-server: publisher.conf does not say: %s\n", missing.c_str());
        return 1;
    }
    auto catalogue = std::make_shared<held_catalogue>();
    catalogue->name = "CG2000.dat";
    store_load_report report;
    say_into(&catalogue->messages); // galsift's messages must not mix with the record
    catalogue->readable = load_store(catalogue->name, catalogue->store, report) == store_loaded;
    say_into(nullptr);
    if (!catalogue->readable) {
        std::fprintf(stderr, "galsift-server: CG2000.dat cannot be read whole\n%s",
                     catalogue->messages.c_str());
        return 1;
    }
    catalogue->read_at = std::time(nullptr);
    server_context server;
    server.settings = settings;
    std::string why;
    file_version file = version_of(publisher_file_name);
    std::string record =
        site_record(record_settings.site_url, publisher, file.found ? file.modified.tv_sec : 0,
                    std::shared_ptr<const held_catalogue>(catalogue), server,
                    tap_settings_from_environment(), why);
    if (record.empty()) {
        std::fprintf(stderr, "galsift-server: %s\n", why.c_str());
        return 1;
    }
    std::fputs(record.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
