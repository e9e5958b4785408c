// Making and filling the tables a connection builds itself.
#include "tap/sql_table.h"

#include <sqlite3.h>

#include <cassert>

sql_cell sql_cell::of(long long value) {
    sql_cell cell;
    cell.kind = integer;
    cell.number = value;
    return cell;
}

sql_cell sql_cell::of(double value) {
    sql_cell cell;
    cell.kind = real;
    cell.real_value = value;
    return cell;
}

sql_cell sql_cell::of(const std::string& value) {
    sql_cell cell;
    cell.kind = text;
    cell.characters = value;
    return cell;
}

std::string sql_identifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

sql_table_writer::~sql_table_writer() {
    sqlite3_finalize(insert);
}

int sql_table_writer::add(const std::vector<sql_cell>& row) {
    assert(insert && static_cast<int>(row.size()) == columns);
    sqlite3_reset(insert);
    for (int n = 0; n < columns; n++) {
        const sql_cell& cell = row[static_cast<std::size_t>(n)];
        int status = SQLITE_OK;
        switch (cell.kind) {
        case sql_cell::null:
            status = sqlite3_bind_null(insert, n + 1);
            break;
        case sql_cell::integer:
            status = sqlite3_bind_int64(insert, n + 1, cell.number);
            break;
        case sql_cell::real:
            status = sqlite3_bind_double(insert, n + 1, cell.real_value);
            break;
        case sql_cell::text:
            status = sqlite3_bind_text(insert, n + 1, cell.characters.data(),
                                       static_cast<int>(cell.characters.size()), SQLITE_STATIC);
            break;
        }
        if (status != SQLITE_OK)
            return status;
    }
    int status = sqlite3_step(insert);
    return status == SQLITE_DONE ? SQLITE_OK : status;
}

int create_sql_table(sqlite3* db, const std::string& name, const std::vector<std::string>& names,
                     const std::vector<std::string>& types, sql_table_writer& writer,
                     std::string& why) {
    assert(names.size() == types.size() && !names.empty());
    std::string create = "CREATE TABLE main." + sql_identifier(name) + " (";
    std::string insert = "INSERT INTO main." + sql_identifier(name) + " VALUES (";
    for (std::size_t n = 0; n < names.size(); n++) {
        create += (n ? ", " : "") + sql_identifier(names[n]) + " " + types[n];
        insert += n ? ", ?" : "?";
    }
    int status = sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    if (status == SQLITE_OK)
        status = sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &writer.insert, nullptr);
    if (status != SQLITE_OK) {
        why = sqlite3_errmsg(db);
        return status;
    }
    writer.db = db;
    writer.columns = static_cast<int>(names.size());
    return SQLITE_OK;
}
