// The stand-in catalogue with the spatial index's hidden columns.
#include "cone_table.h"

#include "tap/spherical_geometry.h"

#include <cstddef>

namespace {

enum { column_count = 5, cone_ra = 5, cone_dec = 6, cone_radius = 7 };

struct module_data {
    const std::vector<catalogue_row>* rows;
    cone_table_use* use;
};

struct table {
    sqlite3_vtab base;
    module_data data;
};

struct cursor {
    sqlite3_vtab_cursor base;
    std::size_t at;
    bool indexed;
    double centre[3]; // cone_ra, cone_dec, cone_radius given to xFilter
};

const std::vector<catalogue_row>& rows_of(sqlite3_vtab_cursor* c) {
    return *reinterpret_cast<table*>(c->pVtab)->data.rows;
}

int connect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** out, char**) {
    int status = sqlite3_declare_vtab(db, "CREATE TABLE x(ra REAL, dec REAL, z REAL, name TEXT, "
                                          "entry INTEGER, cone_ra HIDDEN, cone_dec HIDDEN, "
                                          "cone_radius HIDDEN)");
    if (status != SQLITE_OK)
        return status;
    auto t = new table();
    t->data = *static_cast<module_data*>(aux);
    *out = &t->base;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* vtab) {
    delete reinterpret_cast<table*>(vtab);
    return SQLITE_OK;
}

int best_index(sqlite3_vtab*, sqlite3_index_info* info) {
    int found[3] = {-1, -1, -1};
    bool offered = false;
    for (int n = 0; n < info->nConstraint; n++) {
        const auto& c = info->aConstraint[n];
        if (c.iColumn < cone_ra || c.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        offered = true;
        if (c.usable)
            found[c.iColumn - cone_ra] = n;
    }
    if (found[0] >= 0 && found[1] >= 0 && found[2] >= 0) {
        for (int k = 0; k < 3; k++) {
            info->aConstraintUsage[found[k]].argvIndex = k + 1;
            info->aConstraintUsage[found[k]].omit = 1;
        }
        info->idxNum = 1;
        info->estimatedCost = 10;
        info->estimatedRows = 10;
        return SQLITE_OK;
    }
    if (offered)
        return SQLITE_CONSTRAINT;
    info->idxNum = 0;
    info->estimatedCost = 1e6;
    info->estimatedRows = 1000000;
    return SQLITE_OK;
}

int open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
    auto c = new cursor();
    *out = &c->base;
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* c) {
    delete reinterpret_cast<cursor*>(c);
    return SQLITE_OK;
}

// Moves to the next row the index lets through, from `c->at` on.
void settle(cursor* c) {
    const std::vector<catalogue_row>& rows = rows_of(&c->base);
    while (c->indexed && c->at < rows.size() &&
           !(distance_degrees({rows[c->at].ra, rows[c->at].dec}, {c->centre[0], c->centre[1]}) <=
             c->centre[2]))
        c->at++;
    if (c->at < rows.size())
        reinterpret_cast<table*>(c->base.pVtab)->data.use->rows++;
}

int filter(sqlite3_vtab_cursor* base, int index, const char*, int count, sqlite3_value** values) {
    auto c = reinterpret_cast<cursor*>(base);
    cone_table_use* use = reinterpret_cast<table*>(base->pVtab)->data.use;
    c->at = 0;
    c->indexed = index == 1;
    for (int n = 0; n < count && n < 3; n++)
        c->centre[n] = sqlite3_value_double(values[n]);
    (c->indexed ? use->searches : use->full_scans)++;
    settle(c);
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* base) {
    auto c = reinterpret_cast<cursor*>(base);
    c->at++;
    settle(c);
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor* base) {
    return reinterpret_cast<cursor*>(base)->at >= rows_of(base).size();
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* context, int n) {
    auto c = reinterpret_cast<cursor*>(base);
    const catalogue_row& row = rows_of(base)[c->at];
    switch (n) {
    case 0:
        sqlite3_result_double(context, row.ra);
        break;
    case 1:
        sqlite3_result_double(context, row.dec);
        break;
    case 2:
        sqlite3_result_double(context, row.z);
        break;
    case 3:
        sqlite3_result_text(context, row.name.c_str(), -1, SQLITE_TRANSIENT);
        break;
    case 4:
        sqlite3_result_int64(context, row.entry);
        break;
    default: // the hidden columns read as what the index was given
        if (c->indexed)
            sqlite3_result_double(context, c->centre[n - cone_ra]);
        else
            sqlite3_result_null(context);
    }
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* base, sqlite3_int64* out) {
    *out = static_cast<sqlite3_int64>(reinterpret_cast<cursor*>(base)->at);
    return SQLITE_OK;
}

sqlite3_module cone_module() {
    sqlite3_module m{};
    m.xCreate = connect;
    m.xConnect = connect;
    m.xBestIndex = best_index;
    m.xDisconnect = disconnect;
    m.xDestroy = disconnect;
    m.xOpen = open;
    m.xClose = close;
    m.xFilter = filter;
    m.xNext = next;
    m.xEof = eof;
    m.xColumn = column;
    m.xRowid = rowid;
    return m;
}

} // namespace

bool create_cone_table(sqlite3* db, const char* name, const std::vector<catalogue_row>* rows,
                       cone_table_use* use) {
    static const sqlite3_module module = cone_module();
    auto data = new module_data{rows, use};
    if (sqlite3_create_module_v2(db, "cone_table", &module, data,
                                 [](void* p) { delete static_cast<module_data*>(p); }) != SQLITE_OK)
        return false;
    std::string sql = std::string("CREATE VIRTUAL TABLE ") + name + " USING cone_table";
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}
