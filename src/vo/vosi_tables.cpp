// The tableset and table documents.
#include "vo/vosi_tables.h"

#include "vo/table_columns.h"
#include "vo/xml_parts.h"
#include "web/ascii_case.h"

#include <cstddef>

// The site's answers described: their columns (table_columns.h) in order.
static described_table answer_table(const char* name, const std::string& description,
                                    const column* columns, std::size_t count) {
    described_table table;
    table.name = name;
    table.description = description;
    table.type = "output";
    for (std::size_t n = 0; n < count; n++) {
        described_column field;
        field.name = columns[n].name;
        field.description = columns[n].description;
        field.unit = columns[n].unit ? columns[n].unit : "";
        field.ucd = columns[n].ucd;
        bool text = is_text(columns[n].kind);
        field.datatype = text ? "char" : "double";
        field.arraysize = text ? "*" : "";
        table.columns.push_back(field);
    }
    return table;
}

described_schema answers_schema(const coordinate_frame frames[2]) {
    described_schema schema;
    schema.name = "default";
    schema.description = "The tables the site's services answer with";
    schema.tables.push_back(answer_table(
        "cone",
        std::string("The answer of the cone search (/cone), over the J2000 catalogue; "
                    "positions in ") +
            frames[0].name + ". VERB=1 gives the first three columns, VERB=2 the first six.",
        cone_columns, cone_column_count));
    schema.tables.push_back(answer_table(
        "selection",
        std::string("The download of a box query (/results with format=votable or csv): the "
                    "entries of the results page, positions in the frame of the query's "
                    "catalogue (epoch 2000: ") +
            frames[0].name + "; epoch 1950: " + frames[1].name + ").",
        selection_columns, selection_column_count));
    return schema;
}

// Appends the column `field`, each line after `indent`.
static void put_column(std::string& out, const described_column& field, const std::string& indent) {
    out += indent + "<column>\n";
    put_element(out, indent + "  ", "name", field.name);
    if (!field.description.empty())
        put_element(out, indent + "  ", "description", field.description);
    if (!field.unit.empty())
        put_element(out, indent + "  ", "unit", field.unit);
    if (!field.ucd.empty())
        put_element(out, indent + "  ", "ucd", field.ucd);
    out += indent + "  <dataType xsi:type=\"vs:VOTableType\"";
    if (!field.arraysize.empty())
        out += " arraysize=\"" + xml_text(field.arraysize) + "\"";
    if (!field.xtype.empty())
        out += " extendedType=\"" + xml_text(field.xtype) + "\"";
    out += ">" + xml_text(field.datatype) + "</dataType>\n";
    if (field.indexed)
        out += indent + "  <flag>indexed</flag>\n";
    out += indent + "</column>\n";
}

// Appends the foreign key `key`, each line after `indent`.
static void put_key(std::string& out, const described_key& key, const std::string& indent) {
    out += indent + "<foreignKey>\n";
    put_element(out, indent + "  ", "targetTable", key.target_table);
    out += indent + "  <fkColumn>\n";
    put_element(out, indent + "    ", "fromColumn", key.from_column);
    put_element(out, indent + "    ", "targetColumn", key.target_column);
    out += indent + "  </fkColumn>\n";
    if (!key.description.empty())
        put_element(out, indent + "  ", "description", key.description);
    out += indent + "</foreignKey>\n";
}

// Appends `table`, its element named `element` with `attributes` after its name, its
// columns and keys when `with_columns`, each line after `indent`.
static void put_table(std::string& out, const described_table& table, const std::string& element,
                      const std::string& attributes, bool with_columns, const std::string& indent) {
    out += indent + "<" + element + attributes + " type=\"" + xml_text(table.type) + "\">\n";
    put_element(out, indent + "  ", "name", table.name);
    if (!table.description.empty())
        put_element(out, indent + "  ", "description", table.description);
    for (std::size_t n = 0; with_columns && n < table.columns.size(); n++)
        put_column(out, table.columns[n], indent + "  ");
    for (std::size_t n = 0; with_columns && n < table.keys.size(); n++)
        put_key(out, table.keys[n], indent + "  ");
    out += indent + "</" + element + ">\n";
}

// Appends the tableset: its element `open` ... `close`, each schema with its tables.
static void put_tableset(std::string& out, const std::string& open, const std::string& close,
                         const std::vector<described_schema>& schemas, bool with_columns,
                         const std::string& indent) {
    out += open;
    for (const described_schema& schema : schemas) {
        out += indent + "  <schema>\n";
        put_element(out, indent + "    ", "name", schema.name);
        if (!schema.description.empty())
            put_element(out, indent + "    ", "description", schema.description);
        for (const described_table& table : schema.tables)
            put_table(out, table, "table", "", with_columns, indent + "    ");
        out += indent + "  </schema>\n";
    }
    out += close;
}

// The root element's namespaces of a tables document.
static std::string tables_namespaces() {
    return " xmlns:vosi=\"http://www.ivoa.net/xml/VOSITables/v1.0\"\n" +
           std::string(resource_namespaces);
}

// The tables document: every table of `schemas`, with its columns and keys when
// `with_columns` (detail=max, the default) or without them (detail=min).
std::string tableset_document(const std::vector<described_schema>& schemas, bool with_columns) {
    std::string out = xml_declaration;
    put_tableset(out, "<vosi:tableset" + tables_namespaces() + ">\n", "</vosi:tableset>\n", schemas,
                 with_columns, "");
    return out;
}

// The document of the one table of `schemas` called `name` (in any case), with its columns
// and keys; empty when no table is called so.
std::string table_document(const std::vector<described_schema>& schemas, const std::string& name) {
    for (const described_schema& schema : schemas)
        for (const described_table& table : schema.tables) {
            if (!same_ascii_name(table.name, name))
                continue;
            std::string out = xml_declaration;
            put_table(out, table, "vosi:table", tables_namespaces(), true, "");
            return out;
        }
    return std::string();
}

// The tableset as an element of the registry record, with every column and key.
std::string tableset_element(const std::vector<described_schema>& schemas) {
    std::string out;
    put_tableset(out, "  <tableset>\n", "  </tableset>\n", schemas, true, "  ");
    return out;
}
