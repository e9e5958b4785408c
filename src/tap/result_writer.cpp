// Writing an answer's head, rows and tail.
#include "tap/result_writer.h"

#include "vo/table_columns.h"
#include "vo/text_encoding.h"
#include "vo/votable.h"

#include <sqlite3.h>

#include <cassert>

namespace {

const char document_head[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<VOTABLE version=\"1.3\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    " xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n";

const char* coosys_id(int epoch) {
    return epoch == 1950 ? "fk4_b1950" : "fk5_j2000";
}

bool is_integer_type(const std::string& datatype) {
    return datatype == "long" || datatype == "int" || datatype == "short" ||
           datatype == "unsignedByte";
}

bool is_real_type(const std::string& datatype) {
    return datatype == "double" || datatype == "float";
}

// Whether a field holds one number (not a text, not an array).
bool is_number(const published_column& column) {
    return column.arraysize.empty() &&
           (is_integer_type(column.datatype) || is_real_type(column.datatype));
}

void put_attribute(text_sink& out, const char* name, const std::string& value) {
    if (value.empty())
        return;
    out.put(" ");
    out.put(name);
    out.put("=\"");
    out.put(xml_escaped(value));
    out.put("\"");
}

// A name not yet among `taken`: `name`, else name_2, name_3, ...
std::string unique_name(const std::string& name, const std::vector<result_field>& taken) {
    for (int n = 1;; n++) {
        std::string candidate = n == 1 ? name : name + "_" + std::to_string(n);
        bool used = false;
        for (const result_field& field : taken)
            used = used || field.column.name == candidate;
        if (!used)
            return candidate;
    }
}

// The text of one cell, not yet escaped: "" for NULL.
std::string cell_of(const published_column& column, sqlite3_stmt* statement, int index) {
    int type = sqlite3_column_type(statement, index);
    if (type == SQLITE_NULL)
        return std::string();
    if (column.arraysize.empty() && column.datatype == "boolean")
        return sqlite3_column_int64(statement, index) ? "T" : "F";
    if (is_number(column) && is_integer_type(column.datatype))
        return std::to_string(sqlite3_column_int64(statement, index));
    if (is_number(column))
        return number_text(sqlite3_column_double(statement, index));
    if (type == SQLITE_FLOAT)
        return number_text(sqlite3_column_double(statement, index));
    const unsigned char* text = sqlite3_column_text(statement, index);
    return text ? utf8_cleaned(reinterpret_cast<const char*>(text)) : std::string();
}

// A TSV cell: no tab nor line end inside.
std::string tsv_field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

std::vector<result_field> describe_result(const std::vector<result_column>& columns,
                                          const std::vector<published_table>& tables) {
    std::vector<result_field> fields;
    for (const result_column& column : columns) {
        result_field field;
        if (column.table >= 0 && column.column >= 0) {
            const published_table& table = tables[static_cast<std::size_t>(column.table)];
            field.column = table.columns[static_cast<std::size_t>(column.column)];
            if (table.epoch && field.column.ucd.compare(0, 6, "pos.eq") == 0)
                field.epoch = table.epoch;
        }
        if (column.table < 0 || column.column < 0 || field.column.datatype.empty()) {
            field.column.datatype = column.datatype.empty() ? "char" : column.datatype;
            field.column.arraysize = column.arraysize;
            field.column.xtype = column.xtype;
            if (field.column.datatype == "char" && field.column.arraysize.empty())
                field.column.arraysize = "*";
        }
        field.column.name = unique_name(column.name, fields);
        fields.push_back(field);
    }
    return fields;
}

void put_result_head(text_sink& out, tap_format format, const std::vector<result_field>& fields,
                     const std::string& query) {
    if (format != tap_votable) {
        for (std::size_t n = 0; n < fields.size(); n++) {
            const std::string& name = fields[n].column.name;
            out.put(n ? (format == tap_csv ? "," : "\t") : "");
            out.put(format == tap_csv ? csv_field(name) : tsv_field(name));
        }
        out.put(format == tap_csv ? "\r\n" : "\n");
        return;
    }
    out.put(document_head);
    out.put("<RESOURCE type=\"results\">\n<INFO name=\"QUERY_STATUS\" value=\"OK\"/>\n");
    out.put("<INFO name=\"QUERY\"");
    put_attribute(out, "value", utf8_cleaned(query.c_str()));
    out.put("/>\n");
    for (int epoch : {2000, 1950}) {
        bool used = false;
        for (const result_field& field : fields)
            used = used || field.epoch == epoch;
        if (!used)
            continue;
        coordinate_frame frame = frame_of_epoch(epoch);
        out.put(std::string("<COOSYS ID=\"") + coosys_id(epoch) + "\" system=\"" + frame.system +
                "\" equinox=\"" + frame.equinox + "\"/>\n");
    }
    out.put("<TABLE name=\"result\">\n");
    for (const result_field& field : fields) {
        const published_column& column = field.column;
        out.put("<FIELD");
        put_attribute(out, "name", column.name);
        put_attribute(out, "datatype", column.datatype);
        put_attribute(out, "arraysize", column.arraysize);
        put_attribute(out, "xtype", column.xtype);
        put_attribute(out, "unit", column.unit);
        put_attribute(out, "ucd", column.ucd);
        if (field.epoch)
            put_attribute(out, "ref", coosys_id(field.epoch));
        if (column.description.empty()) {
            out.put("/>\n");
            continue;
        }
        out.put(">\n <DESCRIPTION>");
        out.put(xml_escaped(column.description));
        out.put("</DESCRIPTION>\n</FIELD>\n");
    }
    out.put("<DATA>\n<TABLEDATA>\n");
}

void put_result_row(text_sink& out, tap_format format, const std::vector<result_field>& fields,
                    sqlite3_stmt* statement) {
    assert(sqlite3_column_count(statement) == static_cast<int>(fields.size()));
    if (format == tap_votable)
        out.put("<TR>");
    for (std::size_t n = 0; n < fields.size(); n++) {
        std::string text = cell_of(fields[n].column, statement, static_cast<int>(n));
        switch (format) {
        case tap_votable:
            out.put("<TD>");
            out.put(xml_escaped(text));
            out.put("</TD>");
            break;
        case tap_csv:
            out.put(n ? "," : "");
            out.put(is_number(fields[n].column) ? text : csv_field(text));
            break;
        case tap_tsv:
            out.put(n ? "\t" : "");
            out.put(tsv_field(text));
            break;
        }
    }
    out.put(format == tap_votable ? "</TR>\n" : format == tap_csv ? "\r\n" : "\n");
}

void put_result_tail(text_sink& out, tap_format format, bool overflow, const std::string& error) {
    if (format != tap_votable)
        return;
    out.put("</TABLEDATA>\n</DATA>\n</TABLE>\n");
    if (!error.empty()) {
        out.put("<INFO name=\"QUERY_STATUS\" value=\"ERROR\">");
        out.put(xml_escaped(utf8_cleaned(error.c_str())));
        out.put("</INFO>\n");
    } else if (overflow) {
        out.put("<INFO name=\"QUERY_STATUS\" value=\"OVERFLOW\">The answer holds the first rows "
                "only, up to MAXREC or the service's limit</INFO>\n");
    }
    out.put("</RESOURCE>\n</VOTABLE>\n");
}

void put_tap_error(text_sink& out, const std::string& message) {
    out.put(document_head);
    out.put("<RESOURCE type=\"results\">\n<INFO name=\"QUERY_STATUS\" value=\"ERROR\">");
    out.put(xml_escaped(utf8_cleaned(message.c_str())));
    out.put("</INFO>\n</RESOURCE>\n</VOTABLE>\n");
}
