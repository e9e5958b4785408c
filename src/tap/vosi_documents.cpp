// Writing the service's own documents.
#include "tap/vosi_documents.h"

#include "tap/tap_schema_tables.h"
#include "vo/vosi_capabilities.h"
#include "vo/xml_parts.h"

namespace {

// The languageFeatures of one TAPRegExt type, the forms listed.
std::string features(const char* type, std::initializer_list<const char*> forms) {
    std::string out = std::string("      <languageFeatures type=\"ivo://ivoa.net/std/TAPRegExt#") +
                      type + "\">\n";
    for (const char* form : forms)
        out += std::string("        <feature><form>") + form + "</form></feature>\n";
    return out + "      </languageFeatures>\n";
}

// The limit element `name` (retentionPeriod, outputLimit, ...): its default and hard
// values, in `unit` unless that is "".
std::string limits(const char* name, const char* unit, long long default_value, long long hard) {
    std::string attribute = *unit ? std::string(" unit=\"") + unit + "\"" : std::string();
    return std::string("    <") + name + "><default" + attribute + ">" +
           std::to_string(default_value) + "</default><hard" + attribute + ">" +
           std::to_string(hard) + "</hard></" + name + ">\n";
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
        "  <capability standardID=\"ivo://ivoa.net/std/TAP\" xsi:type=\"tr:TableAccess\">\n" +
        interface_element("vs:ParamHTTP", tap_url, "base", "1.1", nullptr);
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
    return capabilities_document(
        {tap_capability(tap_url, settings), vosi_capabilities(tap_url),
         document_capability("ivo://ivoa.net/std/DALI#examples", "vr:WebBrowser",
                             tap_url + "/examples", "full", nullptr)});
}

// The table `table` of the service described, its columns by their ADQL names, with the
// keys of published_keys that lead from it.
static described_table described(const published_table& table) {
    described_table out;
    out.name = table.name;
    out.description = table.description;
    out.type = "table";
    for (const published_column& column : table.columns) {
        described_column field;
        field.name = adql_name_of(column.name);
        field.description = column.description;
        field.unit = column.unit;
        field.ucd = column.ucd;
        field.datatype = column.datatype;
        field.arraysize = column.arraysize;
        field.xtype = column.xtype;
        field.indexed = column.indexed;
        out.columns.push_back(field);
    }
    for (const published_key& key : published_keys)
        if (table.name == key.from_table)
            out.keys.push_back(
                {key.target_table, key.from_column, key.target_column, key.description});
    return out;
}

std::vector<described_schema> described_schemas(const std::vector<published_table>& tables) {
    std::vector<described_schema> schemas;
    for (const published_schema& schema : published_schemas) {
        schemas.push_back({schema.name, schema.description, {}});
        for (const published_table& table : tables)
            if (table.schema == schema.name)
                schemas.back().tables.push_back(described(table));
    }
    return schemas;
}

std::string examples_document() {
    std::string out = std::string(xml_declaration) +
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
        out += std::string("  <p>") + xml_text(e.text) + "</p>\n";
        out += "  <pre property=\"query\">" + xml_text(e.query) + "</pre>\n";
        std::string query = e.query;
        std::size_t from = query.find("FROM ") + 5;
        out += "  <p>Table: <span property=\"table\">" +
               xml_text(query.substr(from, query.find_first_of("\n ", from) - from)) +
               "</span></p>\n";
        out += "</div>\n";
    }
    return out + "</body>\n</html>\n";
}
