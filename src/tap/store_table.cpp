// The store's virtual table: its plans, its scans and its cells.
#include "tap/store_table.h"

#include "store/catalogue_store.h"
#include "store/store_select.h"
#include "vo/cone.h"
#include "vo/sky_position.h"
#include "vo/table_columns.h"

#include <sqlite3.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

namespace {

const char declaration[] =
    "CREATE TABLE x(entry INTEGER, ra REAL, dec REAL, ra_hms TEXT, dec_dms TEXT, z REAL, "
    "id TEXT, reference TEXT, cone_ra HIDDEN, cone_dec HIDDEN, cone_radius HIDDEN)";

// The most circles a plan hands over: SQLite leaves its own check of a constraint out only
// for the first 16 arguments.
const int most_circles = 5;

// What the module is registered with: the store, or why there is none.
struct table_source {
    const catalogue_store* store = nullptr;
    std::string unreadable;
};

struct store_vtab {
    sqlite3_vtab base; // first: SQLite sees this
    const table_source* source = nullptr;
};

struct store_cursor {
    sqlite3_vtab_cursor base; // first: SQLite sees this
    const catalogue_store* store = nullptr;
    bool whole = true;               // every row, in the store's order
    std::vector<std::uint32_t> rows; // else these, in catalogue order
    std::size_t at = 0, end = 0;     // the place in either
    double circle[3] = {0, 0, 0};    // the circle read, as given
    bool has_circle = false;         // the hidden columns hold it; else NULL
    std::size_t decoded = SIZE_MAX;  // the row whose entry `entry` holds
    catalogue_entry entry;
};

int connect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** table, char**) {
    int status = sqlite3_declare_vtab(db, declaration);
    if (status != SQLITE_OK)
        return status;
    store_vtab* made = new (std::nothrow) store_vtab();
    if (!made)
        return SQLITE_NOMEM;
    made->source = static_cast<const table_source*>(aux);
    *table = &made->base;
    return SQLITE_OK;
}

int disconnect(sqlite3_vtab* table) {
    delete reinterpret_cast<store_vtab*>(table);
    return SQLITE_OK;
}

bool is_hidden(int column) {
    return column >= store_cone_ra && column <= store_cone_radius;
}

// A plan reads either every row, or the circles of the hidden columns: idxNum is the
// number of circles, whose ra, dec and radius come as arguments 3n+1, 3n+2, 3n+3 (the
// n-th constraint on each column making the n-th circle, in SQLite's order of the terms).
int best_index(sqlite3_vtab* table, sqlite3_index_info* info) {
    const store_vtab* vtab = reinterpret_cast<const store_vtab*>(table);
    int counts[3] = {0, 0, 0};
    for (int n = 0; n < info->nConstraint; n++) {
        const auto& constraint = info->aConstraint[n];
        if (!is_hidden(constraint.iColumn))
            continue;
        if (!constraint.usable || constraint.op != SQLITE_INDEX_CONSTRAINT_EQ)
            return SQLITE_CONSTRAINT;
        int which = constraint.iColumn - store_cone_ra;
        int circle = counts[which]++;
        if (circle >= most_circles)
            return SQLITE_CONSTRAINT;
        info->aConstraintUsage[n].argvIndex = 3 * circle + which + 1;
        info->aConstraintUsage[n].omit = 1;
    }
    if (counts[0] != counts[1] || counts[1] != counts[2])
        return SQLITE_CONSTRAINT;
    double rows = vtab->source->store ? static_cast<double>(vtab->source->store->size()) : 0;
    info->idxNum = counts[0];
    if (counts[0] > 0) {
        info->estimatedCost = 20 + std::log2(rows + 1);
        info->estimatedRows = 20;
    } else {
        info->estimatedCost = rows + 1;
        info->estimatedRows = static_cast<sqlite3_int64>(rows);
    }
    return SQLITE_OK;
}

int open(sqlite3_vtab* table, sqlite3_vtab_cursor** cursor) {
    store_cursor* made = new (std::nothrow) store_cursor();
    if (!made)
        return SQLITE_NOMEM;
    made->store = reinterpret_cast<store_vtab*>(table)->source->store;
    *cursor = &made->base;
    return SQLITE_OK;
}

int close(sqlite3_vtab_cursor* cursor) {
    delete reinterpret_cast<store_cursor*>(cursor);
    return SQLITE_OK;
}

// The centre `where` brought to right ascensions in [0, 360) and declinations in
// [-90, 90], the same point of the sky.
sky_position on_the_sphere(sky_position where) {
    double dec = std::fmod(where.declination + 180, 360);
    dec = (dec < 0 ? dec + 360 : dec) - 180;
    double ra = where.ascension;
    if (dec > 90 || dec < -90) {
        dec = (dec > 0 ? 180 : -180) - dec;
        ra += 180;
    }
    ra = std::fmod(ra, 360);
    return {ra < 0 ? ra + 360 : ra, dec};
}

// Adds to `rows` (in catalogue order, kept so) the entries within `around` whose
// declination lies beyond a pole: the index keeps them in the zone at that pole, but their
// position is the point across it, which may lie far from the pole.
void add_beyond_the_poles(const catalogue_store& store, const cone& around,
                          std::vector<std::uint32_t>& rows) {
    std::size_t found = rows.size();
    for (int zone : {0, zone_count - 1}) {
        for (std::uint32_t row = store.zone_start[static_cast<std::size_t>(zone)];
             row < store.zone_start[static_cast<std::size_t>(zone) + 1]; row++) {
            catalogue_entry entry = store.entry(row);
            double distance;
            if (std::fabs(declination_degrees(entry.declination)) > 90 &&
                inside_cone(around, entry, distance) &&
                !std::binary_search(rows.begin(), rows.begin() + static_cast<long>(found), row,
                                    [&](std::uint32_t a, std::uint32_t b) {
                                        return store.number[a] < store.number[b];
                                    }))
                rows.push_back(row);
        }
    }
    if (rows.size() > found)
        sort_by_catalogue_place(store, rows);
}

// Reads the circles of `argv` (idxNum of them) and sets the cursor on the rows of the
// smallest: none when one circle has a NULL, an infinite centre or a negative radius
// (nothing can lie in it), every row when its radius reaches across the sky.
void start_circles(store_cursor& cursor, int circles, sqlite3_value** argv) {
    cursor.whole = false;
    int smallest = -1;
    for (int n = 0; n < circles; n++) {
        double values[3];
        for (int k = 0; k < 3; k++) {
            sqlite3_value* value = argv[3 * n + k];
            values[k] = sqlite3_value_type(value) == SQLITE_NULL ? std::nan("")
                                                                 : sqlite3_value_double(value);
        }
        if (!std::isfinite(values[0]) || !std::isfinite(values[1]) || !(values[2] >= 0))
            return;
        if (smallest < 0 || values[2] < cursor.circle[2]) {
            smallest = n;
            for (int k = 0; k < 3; k++)
                cursor.circle[k] = values[k];
        }
    }
    cursor.has_circle = true;
    if (cursor.circle[2] >= 180) {
        cursor.whole = true;
        cursor.end = cursor.store->size();
        return;
    }
    cone around;
    around.centre = on_the_sphere({cursor.circle[0], cursor.circle[1]});
    around.radius = cursor.circle[2];
    cone_answer answer = cone_search(*cursor.store, around, 0);
    cursor.rows.reserve(answer.matches.size());
    for (const cone_match& match : answer.matches)
        cursor.rows.push_back(match.row);
    add_beyond_the_poles(*cursor.store, around, cursor.rows);
    cursor.end = cursor.rows.size();
}

int filter(sqlite3_vtab_cursor* base, int circles, const char*, int, sqlite3_value** argv) {
    store_cursor& cursor = *reinterpret_cast<store_cursor*>(base);
    if (!cursor.store) {
        const store_vtab* vtab = reinterpret_cast<const store_vtab*>(base->pVtab);
        sqlite3_free(base->pVtab->zErrMsg);
        base->pVtab->zErrMsg = sqlite3_mprintf("%s", vtab->source->unreadable.c_str());
        return SQLITE_ERROR;
    }
    cursor.rows.clear();
    cursor.at = cursor.end = 0;
    cursor.whole = true;
    cursor.has_circle = false;
    cursor.decoded = SIZE_MAX;
    if (circles > 0)
        start_circles(cursor, circles, argv);
    else
        cursor.end = cursor.store->size();
    return SQLITE_OK;
}

int next(sqlite3_vtab_cursor* base) {
    reinterpret_cast<store_cursor*>(base)->at++;
    return SQLITE_OK;
}

int eof(sqlite3_vtab_cursor* base) {
    const store_cursor& cursor = *reinterpret_cast<store_cursor*>(base);
    return cursor.at >= cursor.end;
}

std::size_t row_of(const store_cursor& cursor) {
    assert(cursor.at < cursor.end);
    return cursor.whole ? cursor.at : cursor.rows[cursor.at];
}

void result_number(sqlite3_context* context, double value) {
    if (std::isnan(value))
        sqlite3_result_null(context);
    else
        sqlite3_result_double(context, value);
}

void result_text(sqlite3_context* context, const std::string& text) {
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int column(sqlite3_vtab_cursor* base, sqlite3_context* context, int which) {
    store_cursor& cursor = *reinterpret_cast<store_cursor*>(base);
    std::size_t row = row_of(cursor);
    // The two columns read from a field of their own, without the whole entry: the ones
    // a scan of every entry for a count compares.
    if (which == store_entry) {
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(cursor.store->number[row]) + 1);
        return SQLITE_OK;
    }
    if (which == store_z) {
        result_number(context, cursor.store->field(row, 6));
        return SQLITE_OK;
    }
    if (cursor.decoded != row) {
        cursor.entry = cursor.store->entry(row);
        cursor.decoded = row;
    }
    const catalogue_entry& entry = cursor.entry;
    switch (which) {
    case store_ra:
        result_number(context, position_of(entry).ascension);
        break;
    case store_dec:
        result_number(context, position_of(entry).declination);
        break;
    case store_ra_hms:
        result_text(context, cell_text(cell_ascension_text, entry, 0));
        break;
    case store_dec_dms:
        result_text(context, cell_text(cell_declination_text, entry, 0));
        break;
    case store_id:
        result_text(context, cell_text(cell_identification, entry, 0));
        break;
    case store_reference:
        result_text(context, cell_text(cell_reference, entry, 0));
        break;
    default:
        if (cursor.has_circle)
            sqlite3_result_double(context, cursor.circle[which - store_cone_ra]);
        else
            sqlite3_result_null(context);
    }
    return SQLITE_OK;
}

int rowid(sqlite3_vtab_cursor* base, sqlite3_int64* id) {
    *id = static_cast<sqlite3_int64>(row_of(*reinterpret_cast<store_cursor*>(base)));
    return SQLITE_OK;
}

sqlite3_module make_module() {
    sqlite3_module module{};
    module.iVersion = 1;
    module.xCreate = nullptr; // eponymous only: the table exists as the module's name
    module.xConnect = connect;
    module.xBestIndex = best_index;
    module.xDisconnect = disconnect;
    module.xDestroy = disconnect;
    module.xOpen = open;
    module.xClose = close;
    module.xFilter = filter;
    module.xNext = next;
    module.xEof = eof;
    module.xColumn = column;
    module.xRowid = rowid;
    return module;
}

const sqlite3_module store_module = make_module();

void forget_source(void* source) {
    delete static_cast<table_source*>(source);
}

} // namespace

int register_store_table(sqlite3* db, const std::string& name, const catalogue_store* store,
                         const std::string& unreadable) {
    table_source* source = new (std::nothrow) table_source();
    if (!source)
        return SQLITE_NOMEM;
    source->store = store;
    source->unreadable = unreadable;
    // SQLite calls forget_source itself when the registration fails.
    return sqlite3_create_module_v2(db, name.c_str(), &store_module, source, forget_source);
}
