// Filling TAP_SCHEMA from the published tables.
#include "tap/tap_schema_tables.h"

#include "tap/adql_words.h"
#include "tap/sql_table.h"

#include <sqlite3.h>

#include <cstdlib>

std::string adql_name_of(const std::string& name) {
    bool regular = !name.empty() && !is_reserved(name);
    for (std::size_t n = 0; regular && n < name.size(); n++) {
        char c = name[n];
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        regular = letter || (n > 0 && ((c >= '0' && c <= '9') || c == '_'));
    }
    return regular ? name : sql_identifier(name);
}

namespace {

sql_cell text_or_null(const std::string& text) {
    return text.empty() ? sql_cell::nothing() : sql_cell::of(text);
}

sql_cell integer(long long value) {
    return sql_cell::of(value);
}

// The number in an arraysize ("12", "12*"), or NULL ("*", "", a shape "2x3").
sql_cell size_of(const std::string& arraysize) {
    char* end = nullptr;
    long long value = std::strtoll(arraysize.c_str(), &end, 10);
    bool whole = end != arraysize.c_str() && (*end == 0 || (*end == '*' && end[1] == 0));
    return whole ? integer(value) : sql_cell::nothing();
}

// The rows of TAP_SCHEMA's table `name`.
std::vector<std::vector<sql_cell>> rows_of(const std::string& name,
                                           const std::vector<published_table>& tables) {
    std::vector<std::vector<sql_cell>> rows;
    if (name == "schemas") {
        long long index = 0;
        for (const published_schema& schema : published_schemas)
            rows.push_back({sql_cell::of(std::string(schema.name)), sql_cell::nothing(),
                            sql_cell::of(std::string(schema.description)), integer(index++)});
    } else if (name == "tables") {
        long long index = 0;
        for (const published_table& table : tables)
            rows.push_back({sql_cell::of(table.schema), sql_cell::of(table.name),
                            sql_cell::of(std::string("table")), sql_cell::nothing(),
                            text_or_null(table.description), integer(index++)});
    } else if (name == "columns") {
        for (const published_table& table : tables) {
            long long index = 0;
            bool standard = table.schema == "TAP_SCHEMA";
            for (const published_column& column : table.columns)
                rows.push_back({sql_cell::of(table.name), sql_cell::of(adql_name_of(column.name)),
                                sql_cell::of(column.datatype), text_or_null(column.arraysize),
                                text_or_null(column.xtype), size_of(column.arraysize),
                                text_or_null(column.description), sql_cell::nothing(),
                                text_or_null(column.unit), text_or_null(column.ucd),
                                integer(column.indexed), integer(column.principal),
                                integer(standard), integer(index++)});
        }
    } else if (name == "keys") {
        for (const published_key& key : published_keys)
            rows.push_back({sql_cell::of(std::string(key.id)),
                            sql_cell::of(std::string(key.from_table)),
                            sql_cell::of(std::string(key.target_table)),
                            sql_cell::of(std::string(key.description)), sql_cell::nothing()});
    } else if (name == "key_columns") {
        for (const published_key& key : published_keys)
            rows.push_back({sql_cell::of(std::string(key.id)),
                            sql_cell::of(std::string(key.from_column)),
                            sql_cell::of(std::string(key.target_column))});
    }
    return rows;
}

} // namespace

int create_tap_schema(sqlite3* db, const std::vector<published_table>& tables, std::string& why) {
    for (const published_table& table : tables) {
        if (table.schema != "TAP_SCHEMA")
            continue;
        std::vector<std::string> names, types;
        for (const published_column& column : table.columns) {
            names.push_back(column.name);
            types.push_back(column.datatype == "char" ? "TEXT" : "INTEGER");
        }
        sql_table_writer writer;
        int status = create_sql_table(db, table.sql_name, names, types, writer, why);
        std::string own_name = table.name.substr(table.name.find('.') + 1);
        for (const std::vector<sql_cell>& row : rows_of(own_name, tables))
            if (status == SQLITE_OK)
                status = writer.add(row);
        if (status != SQLITE_OK) {
            if (why.empty())
                why = sqlite3_errmsg(db);
            return status;
        }
    }
    return SQLITE_OK;
}
