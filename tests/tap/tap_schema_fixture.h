// The published tables the ADQL tests query: a catalogue with a spatial index, an
// uploaded table and a table whose column has a reserved name.
#ifndef GALSIFT_TESTS_TAP_SCHEMA_FIXTURE_H
#define GALSIFT_TESTS_TAP_SCHEMA_FIXTURE_H

#include "tap/adql.h"

// `indexed` false: the catalogue without its index (an ordinary table).
inline tap_schema test_schema(bool indexed = true) {
    tap_schema schema;
    tap_schema_table catalogue;
    catalogue.name = "galsift.cg2000";
    catalogue.sql_name = indexed ? "cat" : "cat_plain";
    catalogue.columns = {{"ra", "ra", "double", ""},
                         {"dec", "dec", "double", ""},
                         {"z", "z", "double", ""},
                         {"name", "name", "char", "*"},
                         {"entry", "entry", "long", ""}};
    if (indexed) {
        catalogue.ra_column = 0;
        catalogue.dec_column = 1;
    }
    tap_schema_table upload;
    upload.name = "TAP_UPLOAD.mine";
    upload.sql_database = "temp";
    upload.sql_name = "mine";
    upload.columns = {{"ra", "ra", "double", ""},
                      {"dec", "dec", "double", ""},
                      {"id", "id", "long", ""},
                      {"Label", "label", "char", "*"}};
    tap_schema_table columns;
    columns.name = "TAP_SCHEMA.columns";
    columns.sql_name = "tap_columns";
    columns.columns = {{"column_name", "column_name", "char", "*"}, {"size", "size", "int", ""}};
    schema.tables = {catalogue, upload, columns};
    return schema;
}

#endif
