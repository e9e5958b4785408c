// Running a query: uploads, connection, translation, rows.
#include "tap/tap_run.h"

#include "tap/result_writer.h"

#include <sqlite3.h>

namespace {

// The reasons of a failed run, each defined once.
namespace failures {
const char no_part[] = "UPLOAD names param:%s, but the request has no field of that name";
const char too_large[] = "the uploaded tables are larger than this service takes: at most ";
const char unreadable_upload[] = "the uploaded table %s cannot be read: ";
const char cannot_run[] = "the query cannot be run: ";
const char too_long[] = "the query did not finish within its time limit";
const char aborted[] = "the query was aborted";
} // namespace failures

// `pattern` with its one "%s" replaced by `value`.
std::string with(const char* pattern, const std::string& value) {
    std::string text = pattern;
    return text.replace(text.find("%s"), 2, value);
}

// What the progress handler watches.
struct watch {
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool>* abort = nullptr;
    bool late = false, aborted = false;
};

// Called every few thousand steps of a statement: non-zero interrupts it.
int look(void* data) {
    watch& w = *static_cast<watch*>(data);
    if (w.abort && w.abort->load(std::memory_order_relaxed))
        w.aborted = true;
    else if (std::chrono::steady_clock::now() > w.deadline)
        w.late = true;
    return w.aborted || w.late;
}

// The reason a step failed: the watch's, else SQLite's message.
std::string failure_of(sqlite3* db, const watch& w) {
    if (w.aborted)
        return failures::aborted;
    if (w.late)
        return failures::too_long;
    return failures::cannot_run + std::string(sqlite3_errmsg(db));
}

// Reads the uploads of `input` into `uploads`. Returns false with the reason.
bool read_uploads(const tap_run_input& input,
                  std::vector<std::pair<std::string, upload_table>>& uploads, std::string& why) {
    std::size_t bytes = 0;
    for (const upload_reference& reference : input.request.uploads) {
        const form_part* found = nullptr;
        for (const form_part& part : *input.parts)
            if (part.name == reference.part)
                found = &part;
        if (!found) {
            why = with(failures::no_part, reference.part);
            return false;
        }
        bytes += found->content.size();
        if (bytes > input.upload_limit) {
            why = failures::too_large + std::to_string(input.upload_limit) + " bytes";
            return false;
        }
        upload_table table;
        std::string fault;
        if (!read_votable(found->content, table, fault)) {
            why = with(failures::unreadable_upload, reference.table) + fault;
            return false;
        }
        uploads.emplace_back(reference.table, std::move(table));
    }
    return true;
}

// A statement that finalizes itself.
struct statement {
    sqlite3_stmt* handle = nullptr;
    ~statement() { sqlite3_finalize(handle); }
};

} // namespace

tap_outcome run_tap_query(const tap_run_input& input, text_sink& out) {
    tap_outcome outcome;
    std::vector<std::pair<std::string, upload_table>> uploads;
    static const std::vector<form_part> no_parts;
    tap_run_input checked = input;
    if (!checked.parts)
        checked.parts = &no_parts;
    if (!read_uploads(checked, uploads, outcome.message)) {
        outcome.result = tap_refused;
        return outcome;
    }
    tap_database database;
    if (open_tap_database(input.catalogues, uploads, database, outcome.message) != SQLITE_OK) {
        outcome.result = tap_failed;
        return outcome;
    }
    uploads.clear(); // the connection holds them now
    adql_translation translation;
    if (translate_adql(input.request.query, database.schema, translation) != adql_translated) {
        outcome.result = tap_refused;
        outcome.message = translation.error.message;
        return outcome;
    }
    statement query;
    if (sqlite3_prepare_v2(database.db, translation.sql.c_str(), -1, &query.handle, nullptr) !=
        SQLITE_OK) {
        outcome.result = tap_refused;
        outcome.message = failures::cannot_run + std::string(sqlite3_errmsg(database.db));
        return outcome;
    }
    std::vector<result_field> fields = describe_result(translation.columns, database.tables);
    const tap_format format = input.request.format;
    if (input.request.maxrec == 0) {
        // Metadata alone: the query is not run, and the answer says it holds no rows of it.
        put_result_head(out, format, fields, input.request.query);
        put_result_tail(out, format, true, std::string());
        outcome.overflow = true;
        return outcome;
    }
    watch w;
    w.deadline = input.deadline;
    w.abort = input.abort;
    sqlite3_progress_handler(database.db, 2000, look, &w);
    int status = sqlite3_step(query.handle);
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
        outcome.result = tap_failed;
        outcome.message = failure_of(database.db, w);
        return outcome;
    }
    put_result_head(out, format, fields, input.request.query);
    for (; status == SQLITE_ROW && !out.failed; status = sqlite3_step(query.handle)) {
        if (outcome.rows == input.request.maxrec) {
            outcome.overflow = true;
            break;
        }
        put_result_row(out, format, fields, query.handle);
        outcome.rows++;
    }
    if (status != SQLITE_ROW && status != SQLITE_DONE) {
        outcome.result = tap_broken;
        outcome.message = failure_of(database.db, w);
    }
    put_result_tail(out, format, outcome.overflow, outcome.message);
    return outcome;
}
