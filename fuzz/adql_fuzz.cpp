// Fuzz target: the ADQL translator.
//
// The input is one query. The translator must neither crash nor read out of bounds, must
// give one of its results, and:
//   - refusing, must say where: a line and column at which the query holds the token it
//     names (or the end of the query, for an empty token), and a message;
//   - translating, must write one statement that SQLite prepares on a database of the
//     published tables with the ADQL functions registered and the authorizer installed,
//     unless SQLite's own limits on a statement's depth refuse it; and describe a column
//     for each of the statement's.
#include "fuzz_support.h"
#include "tap/adql.h"

#include <sqlite3.h>

#include <cstring>
#include <string>

namespace {

tap_schema fuzz_schema() {
    tap_schema schema;
    tap_schema_table catalogue;
    catalogue.name = "galsift.cg2000";
    catalogue.sql_name = "cat";
    catalogue.columns = {{"ra", "ra", "double", ""},
                         {"dec", "dec", "double", ""},
                         {"z", "z", "double", ""},
                         {"name", "name", "char", "*"},
                         {"entry", "entry", "long", ""}};
    catalogue.ra_column = 0;
    catalogue.dec_column = 1;
    tap_schema_table upload;
    upload.name = "TAP_UPLOAD.mine";
    upload.sql_database = "temp";
    upload.sql_name = "mine";
    upload.columns = {{"ra", "ra", "double", ""},
                      {"dec", "dec", "double", ""},
                      {"id", "id", "long", ""},
                      {"Label", "label", "char", "*"}};
    schema.tables = {catalogue, upload};
    return schema;
}

// The database the statements are prepared on, made once: the catalogue as an ordinary
// table with its hidden columns as ordinary ones.
sqlite3* fuzz_database(tap_allowed& allowed) {
    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK || register_adql_functions(db) != SQLITE_OK ||
        sqlite3_exec(db,
                     "CREATE TABLE cat(ra, dec, z, name, entry, cone_ra, cone_dec, cone_radius);"
                     "CREATE TEMP TABLE mine(ra, dec, id, label)",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        finding("the database cannot be made", sqlite3_errmsg(db));
    sqlite3_set_authorizer(db, tap_authorizer, &allowed);
    return db;
}

// The byte offset of 1-based `line` and `column` in `text`, a column being a UTF-8
// character (its lead byte and the continuation bytes it announces) or any other byte;
// npos when there is no such place.
std::size_t offset_of(const std::string& text, int line, int column) {
    std::size_t at = 0;
    for (int l = 1; l < line; l++) {
        at = text.find('\n', at);
        if (at == std::string::npos)
            return at;
        at++;
    }
    for (int c = 1; c < column; c++) {
        if (at >= text.size() || text[at] == '\n')
            return std::string::npos;
        unsigned char lead = static_cast<unsigned char>(text[at++]);
        int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        for (;
             more > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
             more--)
            at++;
    }
    return at;
}

void check_error(const std::string& query, const adql_error& error) {
    if (error.message.empty() || error.line < 1 || error.column < 1)
        finding("an error without a message or a place", error.message);
    std::size_t at = offset_of(query, error.line, error.column);
    if (at == std::string::npos || query.compare(at, error.token.size(), error.token) != 0)
        finding("the error's token is not where it says", error.message);
    if (error.token.empty() && at != query.size())
        finding("the end of the query is not at its end", error.message);
}

void check_statement(sqlite3* db, const adql_translation& out) {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    int status = sqlite3_prepare_v2(db, out.sql.c_str(), -1, &statement, &tail);
    std::string why = sqlite3_errmsg(db);
    int columns = statement ? sqlite3_column_count(statement) : 0;
    sqlite3_finalize(statement);
    if (status != SQLITE_OK) {
        if (why.find("parser stack overflow") != std::string::npos ||
            why.find("Expression tree is too large") != std::string::npos ||
            why.find("too many") != std::string::npos)
            return;
        finding("a translation SQLite refuses", why + "\n" + out.sql);
    }
    if (tail && *tail)
        finding("a translation of more than one statement", out.sql);
    if (static_cast<std::size_t>(columns) != out.columns.size())
        finding("the columns described are not the statement's", out.sql);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const tap_schema schema = fuzz_schema();
    static tap_allowed allowed = allowed_tables(schema);
    static sqlite3* db = fuzz_database(allowed);
    std::string query(reinterpret_cast<const char*>(data), size);
    adql_translation out;
    int result = translate_adql(query, schema, out);
    switch (result) {
    case adql_translated:
        if (out.sql.compare(0, 7, "SELECT ") != 0 || out.columns.empty())
            finding("a translation that is no SELECT", out.sql);
        check_statement(db, out);
        break;
    case adql_syntax_error:
    case adql_unknown_name:
    case adql_invalid:
    case adql_unsupported:
        if (!out.sql.empty())
            finding("a refused query with a statement", out.sql);
        check_error(query, out.error);
        break;
    default:
        finding("translate_adql gave no result of its own", std::to_string(result));
    }
    return 0;
}
