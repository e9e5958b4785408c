// The tables the table access service publishes, with what TAP_SCHEMA, /tap/tables and
// the answers' FIELDs say of each column: one description, read by all three.
//
//   galsift.cg2000, galsift.cg1950   each epoch's catalogue (store_table.h), positions
//                                    in FK5 at equinox J2000 and FK4 at B1950
//   TAP_SCHEMA.schemas, .tables, .columns, .keys, .key_columns   the service's metadata
//   TAP_UPLOAD.<name>                a table a query brings along (not in TAP_SCHEMA)
#ifndef GALSIFT_TAP_PUBLISHED_TABLES_H
#define GALSIFT_TAP_PUBLISHED_TABLES_H

#include "tap/adql.h"

#include <string>
#include <vector>

struct published_column {
    std::string name;      // ADQL name
    std::string datatype;  // VOTable datatype: "double", "long", "int", "char", ...
    std::string arraysize; // VOTable arraysize: "" for a scalar, "*" for any length
    std::string xtype;     // "" or a DALI xtype
    std::string unit;      // VOUnit, "" for none
    std::string ucd;       // UCD1+, "" for none
    std::string description;
    bool principal = false; // shown first by clients
    bool indexed = false;   // a constraint on it goes through an index
    std::string sql_name;   // its name in SQLite when it is not `name`
};

struct published_table {
    std::string schema;   // "galsift", "TAP_SCHEMA" or "TAP_UPLOAD"
    std::string name;     // qualified ADQL name: "galsift.cg2000"
    std::string sql_name; // its name in SQLite (the main database)
    std::string description;
    std::vector<published_column> columns; // in order
    int ra_column = -1;                    // the columns of the spatial index, or -1
    int dec_column = -1;
    int epoch = 0; // a catalogue's epoch (2000, 1950), whose frame its positions
                   // are in; 0 for a table without positions of its own
};

// A foreign key of TAP_SCHEMA.keys, on one column.
struct published_key {
    const char* id;
    const char* from_table;
    const char* from_column;
    const char* target_table;
    const char* target_column;
    const char* description;
};

struct published_schema {
    const char* name;
    const char* description;
};

// The schemas and keys TAP_SCHEMA lists.
extern const published_schema published_schemas[2];
extern const published_key published_keys[5];

// The catalogue of `epoch` (2000 or 1950) as a table.
published_table catalogue_table(int epoch);

// Every table TAP_SCHEMA lists: the two catalogues, then TAP_SCHEMA's own five.
std::vector<published_table> published_tables();

// The SQLite name of the catalogue of `epoch`, and of TAP_SCHEMA's table `name`
// ("columns").
std::string catalogue_sql_name(int epoch);
std::string tap_schema_sql_name(const std::string& name);

// The description of `tables` that translate_adql reads.
tap_schema schema_of(const std::vector<published_table>& tables);

#endif
