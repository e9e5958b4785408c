// The tableset and table documents.
#include "vo/vosi_tables.h"

#include "vo/table_columns.h"
#include "vo/xml_parts.h"

#include <cstddef>

// The tables described, by their names under /tables/.
static const struct {
    const char* name;
    const column* columns;
    std::size_t count;
} tables[] = {
    {"cone", cone_columns, cone_column_count},
    {"selection", selection_columns, selection_column_count},
};

// What each table is, its frame named from `frames` (CG2000.dat's, CG1950.dat's).
static std::string table_description(std::size_t which, const coordinate_frame frames[2]) {
    if (which == 0)
        return std::string("The answer of the cone search (/cone), over the J2000 catalogue; "
                           "positions in ") +
               frames[0].name + ". VERB=1 gives the first three columns, VERB=2 the first six.";
    return std::string("The download of a box query (/results with format=votable or csv): "
                       "the entries of the results page, positions in the frame of the "
                       "query's catalogue (epoch 2000: ") +
           frames[0].name + "; epoch 1950: " + frames[1].name + ").";
}

// Appends the table `which`, its element named `element` with `attributes` after its name,
// its columns when `with_columns`, each line after `indent`.
static void put_table(std::string& out, std::size_t which, const coordinate_frame frames[2],
                      const std::string& element, const char* attributes, bool with_columns,
                      const std::string& indent) {
    out += indent + "<" + element + attributes + " type=\"output\">\n";
    put_element(out, indent + "  ", "name", tables[which].name);
    put_element(out, indent + "  ", "description", table_description(which, frames));
    for (std::size_t n = 0; with_columns && n < tables[which].count; n++) {
        const column& field = tables[which].columns[n];
        out += indent + "  <column>\n";
        put_element(out, indent + "    ", "name", field.name);
        put_element(out, indent + "    ", "description", field.description);
        if (field.unit)
            put_element(out, indent + "    ", "unit", field.unit);
        put_element(out, indent + "    ", "ucd", field.ucd);
        out += indent + "    <dataType xsi:type=\"vs:VOTableType\"" +
               (is_text(field.kind) ? " arraysize=\"*\">char" : ">double") + "</dataType>\n";
        out += indent + "  </column>\n";
    }
    out += indent + "</" + element + ">\n";
}

// Appends the tableset: its element `open` ... `close`, one schema holding every table.
static void put_tableset(std::string& out, const std::string& open, const std::string& close,
                         const coordinate_frame frames[2], bool with_columns,
                         const std::string& indent) {
    out += open;
    out += indent + "  <schema>\n";
    put_element(out, indent + "    ", "name", "default");
    put_element(out, indent + "    ", "description", "The tables the site's services answer with");
    for (std::size_t which = 0; which < sizeof tables / sizeof tables[0]; which++)
        put_table(out, which, frames, "table", "", with_columns, indent + "    ");
    out += indent + "  </schema>\n" + close;
}

// The tables document: every table, with its columns when `with_columns` (detail=max,
// the default) or without them (detail=min).
std::string tableset_document(const coordinate_frame frames[2], bool with_columns) {
    std::string out = xml_declaration;
    put_tableset(out,
                 "<vosi:tableset xmlns:vosi=\"http://www.ivoa.net/xml/VOSITables/v1.0\"\n" +
                     std::string(resource_namespaces) + ">\n",
                 "</vosi:tableset>\n", frames, with_columns, "");
    return out;
}

// The document of the one table called `name`, with its columns; empty when no table is
// called so.
std::string table_document(const std::string& name, const coordinate_frame frames[2]) {
    for (std::size_t which = 0; which < sizeof tables / sizeof tables[0]; which++) {
        if (name != tables[which].name)
            continue;
        std::string out = xml_declaration;
        std::string attributes = " xmlns:vosi=\"http://www.ivoa.net/xml/VOSITables/v1.0\"\n" +
                                 std::string(resource_namespaces);
        put_table(out, which, frames, "vosi:table", attributes.c_str(), true, "");
        return out;
    }
    return std::string();
}

// The tableset as an element of the registry record, with every column.
std::string tableset_element(const coordinate_frame frames[2]) {
    std::string out;
    put_tableset(out, "  <tableset>\n", "  </tableset>\n", frames, true, "  ");
    return out;
}
