// The results table: a styled header row, then one row per selected record.
#include "page/results_table.h"

#include "catalogue/entry.h"
#include "output/number_format.h"
#include "output/page_writer.h"
#include "page/angle_head.h"
#include "page/results_page.h"
#include "page/style.h"
#include "page/style_words.h"
#include "query/query_bounds.h"

// The table element with its border, width, height and alignment attributes.
static void put_table_element(page_writer& page, const table_style& style) {
    page.put("<table");
    if (style.border >= 0) {
        page.put(" border=\"");
        page.put_unsigned(static_cast<unsigned>(style.border), 2, 2);
        page.put("\"");
    }
    page.put(" width=\"");
    page.put_unsigned(static_cast<unsigned>(style.width), 2, 2);
    page.put("% \" height=\"");
    page.put_unsigned(static_cast<unsigned>(style.height), 2, 2);
    page.put("% \" align=\"");
    page.put(align_type_convert(style.table_align).text);
    page.put("\">\n");
}

// One header cell around `content`.
static void put_header_cell(page_writer& page, const char* content) {
    page.put("  <th>\n");
    page.put(content);
    page.put("\n  </th>\n");
}

// The header row: alpha and delta of the epoch, z, identification, reference.
static void put_header_row(page_writer& page, const table_style& style, int epoch) {
    page.put("<tr align=\"");
    page.put(align_type_convert(style.header_align).text);
    page.put("\" bgcolor=\"");
    page.put(color_change(2).text);
    page.put("\">\n  <th>\n&#945;<sub>");
    page.put_signed(epoch, 5, 1);
    page.put("</sub>\n  </th>\n  <th>\n&#948;<sub>");
    page.put_signed(epoch, 5, 1);
    page.put("</sub>\n  </th>\n");
    put_header_cell(page, "z<sub>spectroscopic</sub>");
    put_header_cell(page, "Identification");
    put_header_cell(page, "<a href=\"references.htm\">Reference</a>");
    page.put("</tr>\n");
}

// An angle of a data row: sign, whole hours (degrees) and minutes, seconds "%-8.6g".
static void put_row_angle(page_writer& page, const arc& angle) {
    put_angle_head(page, angle);
    page.put_general(angle.seconds, 8, 6);
}

// Opens a data cell aligned as the data rows are.
static void open_data_cell(page_writer& page, const char* cell) {
    page.put("  <td align=\"");
    page.put(cell);
    page.put("\">\n");
}

static void close_data_cell(page_writer& page) {
    page.put("\n  </td>\n");
}

// One data row for `entry`; `row` counts the data rows written before it.
static void put_data_row(page_writer& page, const catalogue_entry& entry, int row, bool colours,
                         const char* cell) {
    page.put("<tr");
    if (colours) {
        page.put(" bgcolor=\"");
        page.put(color_change(row % 2).text);
        page.put("\"");
    }
    page.put(" align=\"");
    page.put(cell);
    page.put("\">\n");
    open_data_cell(page, cell);
    put_row_angle(page, entry.ascension);
    close_data_cell(page);
    open_data_cell(page, cell);
    put_row_angle(page, entry.declination);
    close_data_cell(page);
    open_data_cell(page, cell);
    page.put_general(entry.redshift, 8, 6);
    close_data_cell(page);
    open_data_cell(page, cell);
    page.put(entry.identification);
    close_data_cell(page);
    open_data_cell(page, cell);
    page.put(entry.reference);
    close_data_cell(page);
    page.put("</tr>\n");
}

// Writes the whole table, from "<table" to "</table>\n", for the entries of `answer`: a row
// for every one, or for the first table_row_limit ones when that is above 0. Rows stop
// once a write has failed: the page is lost anyway.
void put_results_table(page_writer& page, results_answer& answer) {
    const table_style& style = *answer.style;
    put_table_element(page, style);
    put_header_row(page, style, answer.query->epoch);
    string cell = align_type_convert(style.cell_align);
    bool colours = style.color_interchange == 'y';
    int row = 0;
    catalogue_entry entry;
    while (!page.failed && answer.rows.next(entry)) {
        put_data_row(page, entry, row++, colours, cell.text);
        if (row == answer.table_row_limit)
            break; // a limit of 0 leaves the table whole
    }
    page.put("</table>\n");
}
