// The tables a service answers with or lets a query read (VOSI 1.1 tables, VODataService
// 1.1): each column with its unit, UCD, datatype and description, each table with its
// foreign keys. One writer for the site's /tables, the table access service's
// /tap/tables and the tableset of the registry record.
#ifndef GALSIFT_VO_VOSI_TABLES_H
#define GALSIFT_VO_VOSI_TABLES_H

#include "web/coordinate_frame.h"

#include <string>
#include <vector>

struct described_column {
    std::string name;
    std::string description;
    std::string unit;      // VOUnit, "" for none
    std::string ucd;       // UCD1+, "" for none
    std::string datatype;  // VOTable datatype: "double", "char", ...
    std::string arraysize; // VOTable arraysize: "" for a scalar, "*" for any length
    std::string xtype;     // "" or a DALI xtype
    bool indexed = false;  // a constraint on it goes through an index
};

// A foreign key on one column, to `target_column` of `target_table`.
struct described_key {
    std::string target_table;
    std::string from_column;
    std::string target_column;
    std::string description;
};

struct described_table {
    std::string name; // as a query names it, qualified by its schema if need be
    std::string description;
    std::string type;                      // "output": an answer's; "table": one a query reads
    std::vector<described_column> columns; // in order
    std::vector<described_key> keys;
};

struct described_schema {
    std::string name;
    std::string description;
    std::vector<described_table> tables;
};

// The site's own answers: the cone search's (`cone`) and the download of a box query
// (`selection`), positions in `frames` (CG2000.dat's, CG1950.dat's).
described_schema answers_schema(const coordinate_frame frames[2]);

std::string tableset_document(const std::vector<described_schema>& schemas, bool with_columns);
std::string table_document(const std::vector<described_schema>& schemas, const std::string& name);
std::string tableset_element(const std::vector<described_schema>& schemas);

#endif
