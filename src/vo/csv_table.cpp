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

// One cell of `entry` as a CSV field. The catalogue's own texts are kept from being read
// as formulas (spreadsheet_text); numbers and the positions the program writes cannot be.
static std::string csv_cell(cell_kind kind, const catalogue_entry& entry) {
    std::string text = cell_text(kind, entry, 0);
    if (kind == cell_identification || kind == cell_reference)
        text = spreadsheet_text(text);
    return csv_field(text);
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
            line += csv_cell(selection_columns[n].kind, entry);
        }
        line += "\r\n";
        out.put(line);
    }
}
