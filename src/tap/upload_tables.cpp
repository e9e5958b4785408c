// Filling an uploaded table.
#include "tap/upload_tables.h"

#include "tap/sql_table.h"
#include "tap/votable_cells.h"

#include <sqlite3.h>

// The SQLite type a field's cells are held in.
static std::string sql_type_of(const upload_field& field) {
    if (!is_scalar_value(field))
        return "TEXT";
    if (field.datatype == "float" || field.datatype == "double")
        return "REAL";
    return "INTEGER";
}

int create_upload_table(sqlite3* db, const std::string& name, int number, const upload_table& table,
                        published_table& published, std::string& why) {
    published = published_table();
    published.schema = "TAP_UPLOAD";
    published.name = "TAP_UPLOAD." + name;
    published.sql_name = "upload_" + std::to_string(number);
    published.description = "A table the query brought along";
    std::vector<std::string> names, types;
    for (std::size_t n = 0; n < table.fields.size(); n++) {
        const upload_field& field = table.fields[n];
        published_column column;
        column.name = field.name;
        column.sql_name = "c" + std::to_string(n + 1);
        column.datatype = field.datatype;
        column.arraysize = field.arraysize;
        column.xtype = field.xtype;
        column.unit = field.unit;
        column.ucd = field.ucd;
        column.description = field.description;
        published.columns.push_back(column);
        names.push_back(column.sql_name);
        types.push_back(sql_type_of(field));
    }
    sql_table_writer writer;
    int status = create_sql_table(db, published.sql_name, names, types, writer, why);
    for (std::size_t n = 0; status == SQLITE_OK && n < table.rows.size(); n++)
        status = writer.add(table.rows[n]);
    if (status != SQLITE_OK && why.empty())
        why = sqlite3_errmsg(db);
    return status;
}
