// The parts of a VOTable document, and the download of a box query's selection.
#include "vo/votable.h"

#include "page/publisher.h"
#include "vo/text_encoding.h"

#include <cassert>

static const char document_head[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<VOTABLE version=\"1.3\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
    " xmlns=\"http://www.ivoa.net/xml/VOTable/v1.3\">\n";

// One FIELD element with its description.
static void put_field(text_sink& out, const column& field) {
    out.put("<FIELD name=\"");
    out.put(field.name);
    out.put("\" ID=\"");
    out.put(field.name);
    out.put("\" ucd=\"");
    out.put(field.ucd);
    out.put(is_text(field.kind) ? "\" datatype=\"char\" arraysize=\"*\""
                                : "\" datatype=\"double\"");
    if (field.unit) {
        out.put(" unit=\"");
        out.put(field.unit);
        out.put("\"");
    }
    if (is_position(field.kind))
        out.put(" ref=\"system\"");
    out.put(">\n <DESCRIPTION>");
    out.put(xml_escaped(field.description));
    out.put("</DESCRIPTION>\n</FIELD>\n");
}

// Everything up to the first row: the document; its RESOURCE with the status, OK or, for a
// non-empty `overflow` (why the table holds fewer rows than the query matched), OVERFLOW
// with that text, where clients look for it, before the table; the COOSYS of `frame`; the
// TABLE with `description` and its FIELDs; the start of its data.
void put_votable_head(text_sink& out, const coordinate_frame& frame, const std::string& description,
                      const column* columns, std::size_t count, const std::string& overflow) {
    out.put(document_head);
    out.put("<RESOURCE type=\"results\">\n<INFO name=\"QUERY_STATUS\" value=\"");
    if (overflow.empty()) {
        out.put("OK\"/>\n");
    } else {
        out.put("OVERFLOW\">");
        out.put(xml_escaped(overflow));
        out.put("</INFO>\n");
    }
    out.put("<COOSYS ID=\"system\" system=\"");
    out.put(frame.system);
    if (frame.equinox) {
        out.put("\" equinox=\"");
        out.put(frame.equinox);
    }
    out.put("\"/>\n<TABLE name=\"results\">\n<DESCRIPTION>");
    out.put(xml_escaped(description));
    out.put("</DESCRIPTION>\n");
    for (std::size_t n = 0; n < count; n++)
        put_field(out, columns[n]);
    out.put("<DATA>\n<TABLEDATA>\n");
}

// One TR of `entry`, a TD per column; `distance` (degrees) serves the distance column.
void put_votable_row(text_sink& out, const column* columns, std::size_t count,
                     const catalogue_entry& entry, double distance) {
    out.put("<TR>");
    for (std::size_t n = 0; n < count; n++) {
        out.put("<TD>");
        std::string text = cell_text(columns[n].kind, entry, distance);
        out.put(is_text(columns[n].kind) ? xml_escaped(text) : text);
        out.put("</TD>");
    }
    out.put("</TR>\n");
}

// The end of the data, the table and the document.
void put_votable_tail(text_sink& out) {
    out.put("</TABLEDATA>\n</DATA>\n</TABLE>\n</RESOURCE>\n</VOTABLE>\n");
}

// A whole document that reports `message`: an INFO named "Error" under the VOTABLE, as
// cone search clients look for it, and a RESOURCE whose QUERY_STATUS is "ERROR", as
// newer clients do.
void put_votable_error(text_sink& out, const std::string& message) {
    std::string text = xml_escaped(utf8_cleaned(message.c_str()));
    out.put(document_head);
    out.put("<INFO name=\"Error\" ID=\"Error\" value=\"");
    out.put(text);
    out.put("\"/>\n<RESOURCE type=\"results\">\n<INFO name=\"QUERY_STATUS\" value=\"ERROR\">");
    out.put(text);
    out.put("</INFO>\n</RESOURCE>\n</VOTABLE>\n");
}

// What a download holds, in the words of `publisher`'s texts: the page's heading and who
// publishes it.
std::string selection_description(const publisher_texts& publisher) {
    return std::string("Entries inside the box query, in catalogue order, of ") +
           heading_of(publisher) + "; " + publisher.owner + ", " + publisher.institution;
}

// The whole download of the selected entries `rows`, their positions in `frame`, described
// with `publisher`'s texts.
void put_selection_votable(text_sink& out, entry_reader rows, const coordinate_frame& frame,
                           const publisher_texts& publisher) {
    std::string description = utf8_cleaned(selection_description(publisher).c_str());
    put_votable_head(out, frame, description, selection_columns, selection_column_count,
                     std::string());
    catalogue_entry entry;
    while (!out.failed && rows.next(entry))
        put_votable_row(out, selection_columns, selection_column_count, entry, 0);
    put_votable_tail(out);
}
