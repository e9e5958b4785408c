// Reading an uploaded VOTable with libexpat: the FIELDs of its first TABLE, then its
// TABLEDATA rows or its BINARY / BINARY2 stream.
#include "tap/votable_reader.h"

#include "tap/votable_cells.h"

#include <expat.h>

#include <cstring>

namespace {

enum class place { outside, table, field, description, td, stream, done };

struct reading {
    XML_Parser parser = nullptr;
    upload_table* table = nullptr;
    place at = place::outside;
    int depth = 0;        // of elements open inside the first TABLE
    std::string text;     // characters of the TD, DESCRIPTION or STREAM being read
    std::string encoding; // the STREAM's
    bool binary2 = false; // BINARY2 rather than BINARY
    bool in_stream_data = false;
    std::vector<sql_cell> row; // the TR being read
    std::string why;           // set at the first fault; parsing stops
};

// An element's name without its namespace prefix.
const char* local(const char* name) {
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

const char* attribute(const char** attributes, const char* name) {
    for (int n = 0; attributes[n]; n += 2)
        if (std::strcmp(local(attributes[n]), name) == 0)
            return attributes[n + 1];
    return nullptr;
}

void fail(reading& r, const std::string& why) {
    if (r.why.empty())
        r.why = why;
    XML_StopParser(r.parser, XML_FALSE);
}

void start_field(reading& r, const char** attributes) {
    upload_field field;
    const char* name = attribute(attributes, "name");
    const char* datatype = attribute(attributes, "datatype");
    if (!name || !*name)
        return fail(r, "a FIELD has no name");
    if (!datatype || !known_datatype(datatype))
        return fail(r, std::string("the FIELD ") + name + " has no datatype VOTable knows");
    field.name = name;
    field.datatype = datatype;
    const char* arraysize = attribute(attributes, "arraysize");
    field.arraysize = arraysize && std::strcmp(arraysize, "1") != 0 ? arraysize : "";
    if (const char* xtype = attribute(attributes, "xtype"))
        field.xtype = xtype;
    if (const char* unit = attribute(attributes, "unit"))
        field.unit = unit;
    if (const char* ucd = attribute(attributes, "ucd"))
        field.ucd = ucd;
    r.table->fields.push_back(field);
}

void on_start(void* data, const char* element, const char** attributes) {
    reading& r = *static_cast<reading*>(data);
    const char* name = local(element);
    if (r.at == place::done)
        return;
    if (r.at == place::outside) {
        if (std::strcmp(name, "TABLE") == 0) {
            r.at = place::table;
            r.depth = 0;
        }
        return;
    }
    r.depth++;
    if (r.at == place::field) {
        if (std::strcmp(name, "DESCRIPTION") == 0) {
            r.at = place::description;
            r.text.clear();
        } else if (std::strcmp(name, "VALUES") == 0) {
            if (const char* null = attribute(attributes, "null"))
                r.table->fields.back().null_value = null;
        }
        return;
    }
    if (r.at != place::table)
        return;
    if (std::strcmp(name, "FIELD") == 0) {
        start_field(r, attributes);
        r.at = place::field;
    } else if (std::strcmp(name, "TR") == 0) {
        r.row.clear();
    } else if (std::strcmp(name, "TD") == 0) {
        r.at = place::td;
        r.text.clear();
    } else if (std::strcmp(name, "BINARY") == 0 || std::strcmp(name, "BINARY2") == 0) {
        r.binary2 = std::strcmp(name, "BINARY2") == 0;
    } else if (std::strcmp(name, "STREAM") == 0) {
        if (attribute(attributes, "href"))
            return fail(r, "the table's STREAM lies outside the document: send it inline");
        const char* encoding = attribute(attributes, "encoding");
        if (!encoding || std::strcmp(encoding, "base64") != 0)
            return fail(r, "the table's STREAM must be base64 encoded");
        r.at = place::stream;
        r.text.clear();
    } else if (std::strcmp(name, "FITS") == 0) {
        fail(r, "FITS data in a VOTable is not read here: send TABLEDATA, BINARY or BINARY2");
    }
}

// Reads the rows of the decoded stream `bytes`.
void read_stream(reading& r, const std::string& bytes) {
    const std::vector<upload_field>& fields = r.table->fields;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = at + bytes.size();
    std::size_t flag_bytes = r.binary2 ? (fields.size() + 7) / 8 : 0;
    while (at < end) {
        if (static_cast<std::size_t>(end - at) < flag_bytes)
            return fail(r, "the table's stream ends inside a row");
        const unsigned char* flags = at;
        at += flag_bytes;
        std::vector<sql_cell> row(fields.size());
        for (std::size_t n = 0; n < fields.size(); n++) {
            if (!binary_cell(fields[n], at, end, row[n]))
                return fail(r, "the table's stream ends inside a row");
            if (r.binary2 && (flags[n / 8] >> (7 - n % 8) & 1))
                row[n] = sql_cell::nothing();
        }
        r.table->rows.push_back(std::move(row));
    }
}

void on_end(void* data, const char*) {
    reading& r = *static_cast<reading*>(data);
    if (r.at == place::outside || r.at == place::done)
        return;
    if (r.depth-- == 0) {
        r.at = place::done; // the first TABLE ends
        return;
    }
    std::vector<upload_field>& fields = r.table->fields;
    switch (r.at) {
    case place::description:
        fields.back().description = r.text;
        r.at = place::field;
        break;
    case place::field:
        if (r.depth == 0)
            r.at = place::table;
        break;
    case place::td: {
        r.at = place::table;
        if (r.row.size() >= fields.size())
            return fail(r, "a row of the table has more cells than it has FIELDs");
        sql_cell cell;
        if (!text_cell(fields[r.row.size()], r.text, cell))
            return fail(r, "the cell \"" + r.text + "\" is not a " + fields[r.row.size()].datatype +
                               " (column " + fields[r.row.size()].name + ")");
        r.row.push_back(cell);
        break;
    }
    case place::stream: {
        r.at = place::table;
        std::string bytes;
        if (!base64_decode(r.text, bytes))
            return fail(r, "the table's STREAM is not base64");
        read_stream(r, bytes);
        break;
    }
    default:
        break;
    }
}

// The end of a TR, seen as the element's end in the table: the row is complete.
void on_end_row(void* data, const char* element) {
    reading& r = *static_cast<reading*>(data);
    bool row_ends = r.at == place::table && std::strcmp(local(element), "TR") == 0;
    on_end(data, element);
    if (row_ends && r.why.empty()) {
        r.row.resize(r.table->fields.size());
        r.table->rows.push_back(std::move(r.row));
        r.row.clear();
    }
}

void on_text(void* data, const char* text, int length) {
    reading& r = *static_cast<reading*>(data);
    if (r.at == place::td || r.at == place::description || r.at == place::stream)
        r.text.append(text, static_cast<std::size_t>(length));
}

} // namespace

bool read_votable(const std::string& document, upload_table& table, std::string& why) {
    table = upload_table();
    reading r;
    r.table = &table;
    r.parser = XML_ParserCreate(nullptr);
    if (!r.parser) {
        why = "no memory to read the table";
        return false;
    }
    XML_SetUserData(r.parser, &r);
    XML_SetElementHandler(r.parser, on_start, on_end_row);
    XML_SetCharacterDataHandler(r.parser, on_text);
    XML_Status status =
        XML_Parse(r.parser, document.data(), static_cast<int>(document.size()), XML_TRUE);
    if (r.why.empty() && status != XML_STATUS_OK)
        r.why = std::string("the table is not well-formed XML: ") +
                XML_ErrorString(XML_GetErrorCode(r.parser)) + " at line " +
                std::to_string(XML_GetCurrentLineNumber(r.parser));
    XML_ParserFree(r.parser);
    if (r.why.empty() && r.at == place::outside)
        r.why = "the document holds no VOTable TABLE";
    if (r.why.empty() && table.fields.empty())
        r.why = "the table has no FIELD";
    why = r.why;
    return why.empty();
}
