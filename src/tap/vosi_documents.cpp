// Writing the service's own documents.
#include "tap/vosi_documents.h"

#include "tap/tap_schema_tables.h"
#include "vo/text_encoding.h"

namespace {

const char xml_head[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string escaped(const std::string& text) {
    return xml_escaped(text);
}

// <name>text</name>, or nothing for an empty text.
std::string element(const char* name, const std::string& text, const char* indent) {
    if (text.empty())
        return std::string();
    return std::string(indent) + "<" + name + ">" + escaped(text) + "</" + name + ">\n";
}

// A capability of one interface at `url`.
std::string capability(const char* standard, const char* type, const char* version, const char* use,
                       const std::string& url) {
    std::string out = std::string("  <capability standardID=\"") + standard + "\">\n";
    out += std::string("    <interface xsi:type=\"") + type + "\"";
    if (*version)
        out += std::string(" role=\"std\" version=\"") + version + "\"";
    out += std::string(">\n      <accessURL use=\"") + use + "\">" + escaped(url) +
           "</accessURL>\n    </interface>\n  </capability>\n";
    return out;
}

// The languageFeatures of one TAPRegExt type, the forms listed.
std::string features(const char* type, std::initializer_list<const char*> forms) {
    std::string out = std::string("      <languageFeatures type=\"ivo://ivoa.net/std/TAPRegExt#") +
                      type + "\">\n";
    for (const char* form : forms)
        out += std::string("        <feature><form>") + form + "</form></feature>\n";
    return out + "      </languageFeatures>\n";
}

std::string limits(const char* name, const char* unit, long long default_value, long long hard) {
    std::string attribute = *unit ? std::string(" unit=\"") + unit + "\"" : std::string();
    return std::string("    <") + name + "><default" + attribute + ">" +
           std::to_string(default_value) + "</default><hard" + attribute + ">" +
           std::to_string(hard) + "</hard></" + name + ">\n";
}

std::string column_element(const published_column& column) {
    std::string out = "        <column>\n";
    out += element("name", adql_name_of(column.name), "          ");
    out += element("description", column.description, "          ");
    out += element("unit", column.unit, "          ");
    out += element("ucd", column.ucd, "          ");
    out += "          <dataType xsi:type=\"vs:VOTableType\"";
    if (!column.arraysize.empty())
        out += " arraysize=\"" + escaped(column.arraysize) + "\"";
    if (!column.xtype.empty())
        out += " extendedType=\"" + escaped(column.xtype) + "\"";
    out += ">" + column.datatype + "</dataType>\n";
    if (column.indexed)
        out += "          <flag>indexed</flag>\n";
    return out + "        </column>\n";
}

std::string table_element(const published_table& table, bool detail, const char* tag) {
    std::string out = std::string("    <") + tag + " type=\"table\">\n";
    out += element("name", table.name, "      ");
    out += element("description", table.description, "      ");
    if (detail) {
        for (const published_column& column : table.columns)
            out += column_element(column);
        for (const published_key& key : published_keys) {
            if (table.name != key.from_table)
                continue;
            out += "      <foreignKey>\n";
            out += element("targetTable", key.target_table, "        ");
            out += "        <fkColumn>\n";
            out += element("fromColumn", key.from_column, "          ");
            out += element("targetColumn", key.target_column, "          ");
            out += "        </fkColumn>\n";
            out += element("description", key.description, "        ");
            out += "      </foreignKey>\n";
        }
    }
    return out + "    </" + tag + ">\n";
}

// The examples: a title, the query, and a line of text each.
struct example {
    const char* id;
    const char* name;
    const char* text;
    const char* query;
};

const example examples[] = {
    {"cone", "Galaxies within a circle",
     "Every galaxy within half a degree of a position, nearest redshifts first:",
     "SELECT TOP 100 id, ra, dec, z\nFROM galsift.cg2000\n"
     "WHERE 1 = CONTAINS(POINT('ICRS', ra, dec), CIRCLE('ICRS', 187.7, 12.4, 0.5))\n"
     "  AND z BETWEEN 0.002 AND 0.01\nORDER BY z"},
    {"box", "Galaxies within a box",
     "A box of two degrees by one about a position, with the distance of each galaxy from "
     "its centre:",
     "SELECT id, ra_hms, dec_dms, z,\n"
     "       DISTANCE(POINT('ICRS', ra, dec), POINT('ICRS', 150, 2)) AS separation\n"
     "FROM galsift.cg2000\n"
     "WHERE 1 = CONTAINS(POINT('ICRS', ra, dec), BOX('ICRS', 150, 2, 2, 1))"},
    {"count", "Counting by redshift",
     "How many galaxies have a redshift above 0.1, and their mean redshift:",
     "SELECT COUNT(*) AS galaxies, AVG(z) AS mean_z\nFROM galsift.cg2000\nWHERE z > 0.1"},
    {"order", "Catalogue order",
     "The first entries of the catalogue at equinox B1950, in its own order:",
     "SELECT TOP 20 entry, id, ra_hms, dec_dms, z, reference\nFROM galsift.cg1950\n"
     "ORDER BY entry"},
    {"columns", "The columns of a table",
     "What the service says of the columns of the J2000 catalogue:",
     "SELECT column_name, datatype, unit, ucd, description\nFROM TAP_SCHEMA.columns\n"
     "WHERE table_name = 'galsift.cg2000'"},
};

} // namespace

std::string tap_capability(const std::string& tap_url, const tap_settings& settings) {
    std::string out =
        "  <capability standardID=\"ivo://ivoa.net/std/TAP\" xsi:type=\"tr:TableAccess\">\n"
        "    <interface xsi:type=\"vs:ParamHTTP\" role=\"std\" version=\"1.1\">\n"
        "      <accessURL use=\"base\">" +
        escaped(tap_url) + "</accessURL>\n    </interface>\n";
    out += "    <language>\n      <name>ADQL</name>\n"
           "      <version ivo-id=\"ivo://ivoa.net/std/ADQL#v2.0\">2.0</version>\n"
           "      <version ivo-id=\"ivo://ivoa.net/std/ADQL#v2.1\">2.1</version>\n"
           "      <description>ADQL 2.1's queries of one SELECT, with the geometry of catalogue "
           "queries; a position constraint on a catalogue goes through its spatial index"
           "</description>\n";
    out += features("features-adqlgeo", {"POINT", "CIRCLE", "BOX", "POLYGON", "CONTAINS",
                                         "INTERSECTS", "DISTANCE", "COORD1", "COORD2"});
    out += features("features-adql-string", {"LOWER", "UPPER", "ILIKE"});
    out += features("features-adql-offset", {"OFFSET"});
    out += features("features-adql-type", {"CAST"});
    out += "    </language>\n";
    out += "    <outputFormat ivo-id=\"ivo://ivoa.net/std/TAPRegExt#output-votable-td\">\n"
           "      <mime>application/x-votable+xml</mime><alias>votable</alias>\n"
           "    </outputFormat>\n"
           "    <outputFormat>\n      <mime>text/csv;header=present</mime><alias>csv</alias>\n"
           "    </outputFormat>\n"
           "    <outputFormat>\n      <mime>text/tab-separated-values</mime><alias>tsv</alias>\n"
           "    </outputFormat>\n"
           "    <uploadMethod ivo-id=\"ivo://ivoa.net/std/TAPRegExt#upload-inline\"/>\n";
    out += limits("retentionPeriod", "", settings.retention, settings.retention);
    out += limits("executionDuration", "", settings.async_seconds, settings.async_seconds);
    out += limits("outputLimit", "row", settings.maxrec, settings.maxrec_limit);
    out += limits("uploadLimit", "byte", static_cast<long long>(settings.upload_limit),
                  static_cast<long long>(settings.upload_limit));
    return out + "  </capability>\n";
}

std::string tap_capabilities_document(const std::string& tap_url, const tap_settings& settings) {
    std::string out = std::string(xml_head) +
                      "<vosi:capabilities"
                      " xmlns:vosi=\"http://www.ivoa.net/xml/VOSICapabilities/v1.0\""
                      " xmlns:vr=\"http://www.ivoa.net/xml/VOResource/v1.0\""
                      " xmlns:vs=\"http://www.ivoa.net/xml/VODataService/v1.1\""
                      " xmlns:tr=\"http://www.ivoa.net/xml/TAPRegExt/v1.0\""
                      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    out += tap_capability(tap_url, settings);
    out += capability("ivo://ivoa.net/std/VOSI#capabilities", "vs:ParamHTTP", "1.0", "full",
                      tap_url + "/capabilities");
    out += capability("ivo://ivoa.net/std/VOSI#availability", "vs:ParamHTTP", "1.0", "full",
                      tap_url + "/availability");
    out += capability("ivo://ivoa.net/std/VOSI#tables-1.1", "vs:ParamHTTP", "1.1", "base",
                      tap_url + "/tables");
    out += capability("ivo://ivoa.net/std/DALI#examples", "vr:WebBrowser", "", "full",
                      tap_url + "/examples");
    return out + "</vosi:capabilities>\n";
}

std::string availability_document(bool available, const std::string& note) {
    std::string out = std::string(xml_head) +
                      "<avail:availability"
                      " xmlns:avail=\"http://www.ivoa.net/xml/VOSIAvailability/v1.0\">\n";
    out += std::string("  <avail:available>") + (available ? "true" : "false") +
           "</avail:available>\n";
    if (!note.empty())
        out += "  <avail:note>" + escaped(note) + "</avail:note>\n";
    return out + "</avail:availability>\n";
}

std::string tables_document(const std::vector<published_table>& tables, bool detail) {
    std::string out = std::string(xml_head) +
                      "<vosi:tableset xmlns:vosi=\"http://www.ivoa.net/xml/VOSITables/v1.0\""
                      " xmlns:vs=\"http://www.ivoa.net/xml/VODataService/v1.1\""
                      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n";
    for (const published_schema& schema : published_schemas) {
        out += "  <schema>\n";
        out += element("name", schema.name, "    ");
        out += element("description", schema.description, "    ");
        for (const published_table& table : tables)
            if (table.schema == schema.name)
                out += table_element(table, detail, "table");
        out += "  </schema>\n";
    }
    return out + "</vosi:tableset>\n";
}

std::string table_document(const published_table& table) {
    std::string element = table_element(table, true, "vosi:table");
    element.replace(element.find(" type=\"table\""), 13,
                    " xmlns:vosi=\"http://www.ivoa.net/xml/VOSITables/v1.0\""
                    " xmlns:vs=\"http://www.ivoa.net/xml/VODataService/v1.1\""
                    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" type=\"table\"");
    return std::string(xml_head) + element;
}

std::string examples_document() {
    std::string out = std::string(xml_head) +
                      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML+RDFa 1.1//EN\"\n"
                      "  \"http://www.w3.org/MarkUp/DTD/xhtml-rdfa-2.dtd\">\n"
                      "<html xmlns=\"http://www.w3.org/1999/xhtml\" version=\"XHTML+RDFa 1.1\">\n"
                      "<head><title>Examples of queries of the catalogue</title></head>\n"
                      "<body vocab=\"http://www.ivoa.net/rdf/examples#\">\n"
                      "<h1>Examples of queries of the catalogue</h1>\n"
                      "<p>Each query runs as it stands, by /sync or /async.</p>\n";
    for (const example& e : examples) {
        out += std::string("<div typeof=\"example\" id=\"") + e.id + "\" resource=\"#" + e.id +
               "\">\n";
        out += std::string("  <h2 property=\"name\">") + e.name + "</h2>\n";
        out += std::string("  <p>") + escaped(e.text) + "</p>\n";
        out += "  <pre property=\"query\">" + escaped(e.query) + "</pre>\n";
        std::string query = e.query;
        std::size_t from = query.find("FROM ") + 5;
        out += "  <p>Table: <span property=\"table\">" +
               escaped(query.substr(from, query.find_first_of("\n ", from) - from)) +
               "</span></p>\n";
        out += "</div>\n";
    }
    return out + "</body>\n</html>\n";
}
