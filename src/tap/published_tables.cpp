// What the service publishes, described once.
#include "tap/published_tables.h"

#include <cassert>

const published_schema published_schemas[2] = {
    {"galsift", "The galaxies of the catalogue with their spectroscopic redshifts, one table "
                "per epoch of its positions"},
    {"TAP_SCHEMA", "The tables and columns of this service, and the keys that join them"},
};

const published_key published_keys[5] = {
    {"tables_schema", "TAP_SCHEMA.tables", "schema_name", "TAP_SCHEMA.schemas", "schema_name",
     "The schema of a table"},
    {"columns_table", "TAP_SCHEMA.columns", "table_name", "TAP_SCHEMA.tables", "table_name",
     "The table of a column"},
    {"keys_from", "TAP_SCHEMA.keys", "from_table", "TAP_SCHEMA.tables", "table_name",
     "The table a key leads from"},
    {"keys_target", "TAP_SCHEMA.keys", "target_table", "TAP_SCHEMA.tables", "table_name",
     "The table a key leads to"},
    {"key_columns_key", "TAP_SCHEMA.key_columns", "key_id", "TAP_SCHEMA.keys", "key_id",
     "The key a pair of columns belongs to"},
};

static published_column text_column(const char* name, const char* ucd, const char* description,
                                    bool principal = true) {
    published_column column;
    column.name = name;
    column.datatype = "char";
    column.arraysize = "*";
    column.ucd = ucd;
    column.description = description;
    column.principal = principal;
    return column;
}

static published_column number_column(const char* name, const char* datatype, const char* unit,
                                      const char* ucd, const char* description) {
    published_column column;
    column.name = name;
    column.datatype = datatype;
    column.unit = unit;
    column.ucd = ucd;
    column.description = description;
    column.principal = true;
    return column;
}

std::string catalogue_sql_name(int epoch) {
    assert(epoch == 2000 || epoch == 1950);
    return epoch == 2000 ? "galsift_cg2000" : "galsift_cg1950";
}

published_table catalogue_table(int epoch) {
    assert(epoch == 2000 || epoch == 1950);
    const bool j2000 = epoch == 2000;
    const std::string frame = j2000 ? "FK5, equinox J2000" : "FK4, equinox B1950";
    published_table table;
    table.schema = "galsift";
    table.name = j2000 ? "galsift.cg2000" : "galsift.cg1950";
    table.sql_name = catalogue_sql_name(epoch);
    table.epoch = epoch;
    table.description = std::string("The catalogue's galaxies with their spectroscopic "
                                    "redshifts, one row per entry of ") +
                        (j2000 ? "CG2000.dat" : "CG1950.dat") + ", positions in " + frame;
    table.columns = {
        number_column("entry", "long", "", "meta.record",
                      "Place of the entry in the catalogue, from 1: ordering by it gives the "
                      "catalogue's order"),
        number_column("ra", "double", "deg", "pos.eq.ra;meta.main",
                      ("Right ascension (" + frame + ")").c_str()),
        number_column("dec", "double", "deg", "pos.eq.dec;meta.main",
                      ("Declination (" + frame + ")").c_str()),
        text_column("ra_hms", "pos.eq.ra",
                    "Right ascension as the results page writes it, hours:minutes:seconds "
                    "(seconds to 6 digits)",
                    false),
        text_column("dec_dms", "pos.eq.dec",
                    "Declination as the results page writes it, degrees:minutes:seconds "
                    "(seconds to 6 digits)",
                    false),
        number_column("z", "double", "", "src.redshift", "Spectroscopic redshift"),
        text_column("id", "meta.id;meta.main", "Name of the galaxy"),
        text_column("reference", "meta.bib", "Reference of the redshift"),
    };
    table.columns[1].indexed = table.columns[2].indexed = true;
    table.ra_column = 1;
    table.dec_column = 2;
    return table;
}

std::string tap_schema_sql_name(const std::string& name) {
    return "tap_schema_" + name;
}

// One of TAP_SCHEMA's tables, its columns given as name, datatype ("char" or "int") and
// description.
static published_table metadata_table(const char* name, const char* description,
                                      std::vector<std::vector<const char*>> columns) {
    published_table table;
    table.schema = "TAP_SCHEMA";
    table.name = std::string("TAP_SCHEMA.") + name;
    table.sql_name = tap_schema_sql_name(name);
    table.description = description;
    for (const std::vector<const char*>& c : columns) {
        published_column column;
        column.name = c[0];
        column.datatype = c[1];
        column.arraysize = column.datatype == "char" ? "*" : "";
        column.description = c[2];
        column.principal = true;
        table.columns.push_back(column);
    }
    return table;
}

std::vector<published_table> published_tables() {
    std::vector<published_table> tables = {catalogue_table(2000), catalogue_table(1950)};
    tables.push_back(metadata_table("schemas", "The schemas of this service",
                                    {{"schema_name", "char", "Name of the schema"},
                                     {"utype", "char", "Utype of the schema"},
                                     {"description", "char", "What the schema holds"},
                                     {"schema_index", "int", "Rank of the schema in a list"}}));
    tables.push_back(
        metadata_table("tables", "The tables of this service",
                       {{"schema_name", "char", "The schema holding the table"},
                        {"table_name", "char", "Name of the table, as a query writes it"},
                        {"table_type", "char", "table or view"},
                        {"utype", "char", "Utype of the table"},
                        {"description", "char", "What the table holds"},
                        {"table_index", "int", "Rank of the table in a list"}}));
    tables.push_back(
        metadata_table("columns", "The columns of this service's tables",
                       {{"table_name", "char", "The table holding the column"},
                        {"column_name", "char", "Name of the column, as a query writes it"},
                        {"datatype", "char", "VOTable datatype of the column"},
                        {"arraysize", "char", "VOTable arraysize of the column"},
                        {"xtype", "char", "VOTable xtype of the column"},
                        {"size", "int", "The length in arraysize, as TAP 1.0 gave it"},
                        {"description", "char", "What the column holds"},
                        {"utype", "char", "Utype of the column"},
                        {"unit", "char", "Unit of the column's values"},
                        {"ucd", "char", "Unified content descriptor of the column"},
                        {"indexed", "int", "1 when a constraint on the column uses an index"},
                        {"principal", "int", "1 when the column is among the table's main ones"},
                        {"std", "int", "1 when a standard defines the column"},
                        {"column_index", "int", "Rank of the column in its table"}}));
    tables.push_back(metadata_table("keys", "The foreign keys between this service's tables",
                                    {{"key_id", "char", "Name of the key"},
                                     {"from_table", "char", "The table the key leads from"},
                                     {"target_table", "char", "The table the key leads to"},
                                     {"description", "char", "What the key joins"},
                                     {"utype", "char", "Utype of the key"}}));
    tables.push_back(metadata_table("key_columns", "The columns of the foreign keys",
                                    {{"key_id", "char", "The key"},
                                     {"from_column", "char", "Its column in the from table"},
                                     {"target_column", "char", "Its column in the target table"}}));
    return tables;
}

tap_schema schema_of(const std::vector<published_table>& tables) {
    tap_schema schema;
    for (const published_table& table : tables) {
        tap_schema_table described;
        described.name = table.name;
        described.sql_name = table.sql_name;
        for (const published_column& column : table.columns) {
            // Arrays, bits and complex numbers are held as their texts.
            bool characters = column.datatype == "char" || column.datatype == "unicodeChar";
            bool held_as_text =
                !characters && (!column.arraysize.empty() || column.datatype == "bit" ||
                                column.datatype.find("Complex") != std::string::npos);
            described.columns.push_back(
                {column.name, column.sql_name.empty() ? column.name : column.sql_name,
                 held_as_text ? "char" : column.datatype, held_as_text ? "*" : column.arraysize});
        }
        described.ra_column = table.ra_column;
        described.dec_column = table.dec_column;
        schema.tables.push_back(described);
    }
    return schema;
}
