// The CSV download of a box query's selection.
#include "vo/csv_table.h"

#include "vo/table_columns.h"
#include "vo/text_encoding.h"

// The header line: each column's name, a position's with the epoch's equinox and the unit
// added ("ra" at J2000 in degrees is "ra_J2000_deg"; "ra_hms" is "ra_J2000_hms").
std::string csv_header(int epoch) {
    std::string equinox = epoch == 1950 ? "B1950" : "J2000";
    std::string line;
    for (std::size_t n = 0; n < selection_column_count; n++) {
        const column& field = selection_columns[n];
        std::string name = field.name;
        if (field.axis)
            name = std::string(field.axis) + "_" + equinox + "_" + field.csv_unit;
        line += (n ? "," : "") + name;
    }
    return line + "\r\n";
}

// The whole download of the selected entries `rows`, at `epoch`.
void put_selection_csv(text_sink& out, entry_reader rows, int epoch) {
    out.put(csv_header(epoch));
    std::string line;
    catalogue_entry entry;
    while (!out.failed && rows.next(entry)) {
        line.clear();
        for (std::size_t n = 0; n < selection_column_count; n++) {
            if (n)
                line += ',';
            line += csv_field(cell_text(selection_columns[n].kind, entry, 0));
        }
        line += "\r\n";
        out.put(line);
    }
}
