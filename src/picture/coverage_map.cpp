// Drawing the coverage map of a catalogue.
#include "picture/coverage_map.h"

#include "picture/axis_ticks.h"
#include "picture/colour_scale.h"
#include "picture/svg_canvas.h"
#include "store/catalogue_store.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <vector>

// ---- Layout, in user units ----

const double page_width = 820, page_height = 430;
const double centre_x = 380, centre_y = 230; // the map's centre: 12h on the equator
const double root_two = 1.4142135623730951;
const double half_width = 340; // of the map's outline; half that high
const double unit = half_width / (2 * root_two);
const double radians_per_degree = 0.017453292519943295;
const int colour_levels = 32; // cells of one level are drawn as one path

map_point hammer_aitoff(double ascension, double declination) {
    double longitude = (180 - ascension) * radians_per_degree / 2; // half of it
    double latitude = declination * radians_per_degree;
    double depth = std::sqrt(1 + std::cos(latitude) * std::cos(longitude));
    return {2 * root_two * std::cos(latitude) * std::sin(longitude) / depth,
            root_two * std::sin(latitude) / depth};
}

// Where right ascension `ascension` and declination `declination` (degrees) lie on the
// canvas.
static void place(svg_path& outline, bool first, double ascension, double declination) {
    map_point at = hammer_aitoff(ascension, declination);
    double x = centre_x + unit * at.x, y = centre_y - unit * at.y;
    if (first)
        outline.move(x, y);
    else
        outline.to(x, y);
}

// ---- Counting ----

struct coverage_counts {
    std::vector<std::size_t> cells =
        std::vector<std::size_t>(coverage_columns * coverage_bands, 0); // band by band
    std::size_t mapped = 0;                                             // entries counted
    std::size_t left_out = 0; // entries with no place on the sky
};

static coverage_counts count_cells(const catalogue_store& store) {
    coverage_counts counts;
    for (std::size_t row = 0; row < store.size(); row++) {
        double ascension = store.ascension_value(row) / 240; // degrees
        double declination = store.declination_value(row) / 3600;
        if (!(ascension >= 0 && ascension <= 360 && declination >= -90 && declination <= 90)) {
            counts.left_out++;
            continue;
        }
        int column =
            std::min(coverage_columns - 1, static_cast<int>(ascension / 360 * coverage_columns));
        double sine = std::sin(declination * radians_per_degree);
        int band = std::min(coverage_bands - 1, static_cast<int>((sine + 1) / 2 * coverage_bands));
        counts.cells[static_cast<std::size_t>(band * coverage_columns + column)]++;
        counts.mapped++;
    }
    return counts;
}

// ---- Drawing ----

// The outline of the cell at `column` and `band`: its sides along two meridians and two
// parallels, each parallel drawn through its middle too.
static void cell_outline(svg_path& outline, int column, int band) {
    double west = 360.0 * column / coverage_columns, east = 360.0 * (column + 1) / coverage_columns;
    double south = std::asin(2.0 * band / coverage_bands - 1) / radians_per_degree;
    double north = std::asin(2.0 * (band + 1) / coverage_bands - 1) / radians_per_degree;
    double middle = (west + east) / 2;
    place(outline, true, west, south);
    place(outline, false, middle, south);
    place(outline, false, east, south);
    place(outline, false, east, north);
    place(outline, false, middle, north);
    place(outline, false, west, north);
    outline.close();
}

static void draw_cells(svg_canvas& canvas, const coverage_counts& counts) {
    std::size_t most = *std::max_element(counts.cells.begin(), counts.cells.end());
    double scale = most > 1 ? std::log(static_cast<double>(most)) : 1;
    std::vector<svg_path> levels(colour_levels);
    for (int band = 0; band < coverage_bands; band++) {
        for (int column = 0; column < coverage_columns; column++) {
            std::size_t count =
                counts.cells[static_cast<std::size_t>(band * coverage_columns + column)];
            if (count == 0)
                continue;
            double t = most > 1 ? std::log(static_cast<double>(count)) / scale : 1;
            int level = std::min(colour_levels - 1, static_cast<int>(t * colour_levels));
            cell_outline(levels[static_cast<std::size_t>(level)], column, band);
        }
    }
    for (int level = 0; level < colour_levels; level++)
        if (!levels[static_cast<std::size_t>(level)].d.empty())
            canvas.path(levels[static_cast<std::size_t>(level)],
                        scale_colour((level + 0.5) / colour_levels), "none", 0);
    std::vector<axis_tick> marks;
    for (std::size_t power = 1; power <= most; power *= 10)
        marks.push_back(
            {most > 1 ? std::log(static_cast<double>(power)) / scale : 1, std::to_string(power)});
    draw_colour_bar(canvas, centre_x + half_width + 34, centre_y - 130, 16, 260, "entries per cell",
                    marks);
}

// The lines of every 2h of right ascension and every 30 degrees of declination, labelled,
// and the outline of the sky.
static void draw_grid(svg_canvas& canvas) {
    svg_path lines;
    for (int hours = 2; hours < 24; hours += 2)
        for (int declination = -90; declination <= 90; declination += 5)
            place(lines, declination == -90, hours * 15.0, declination);
    for (int declination = -60; declination <= 60; declination += 30)
        for (int ascension = 0; ascension <= 360; ascension += 5)
            place(lines, ascension == 0, ascension, declination);
    canvas.path(lines, "none", "#a0a0a0", 0.6);
    svg_path outline;
    for (int declination = -90; declination <= 90; declination += 3)
        place(outline, declination == -90, 0, declination);
    for (int declination = 90; declination >= -90; declination -= 3)
        place(outline, false, 360, declination);
    outline.close();
    canvas.path(outline, "none", "#404040", 1);
    for (int hours = 2; hours < 24; hours += 2) {
        map_point at = hammer_aitoff(hours * 15.0, 0);
        canvas.words(centre_x + unit * at.x, centre_y + 14, "middle", 11,
                     std::to_string(hours) + "h");
    }
    for (int declination = -60; declination <= 60; declination += 30) {
        map_point at = hammer_aitoff(360, declination);
        char label[16];
        std::snprintf(label, sizeof label, "%+d\xc2\xb0", declination);
        canvas.words(centre_x + unit * at.x - 5, centre_y - unit * at.y + 4, "end", 11,
                     declination == 0 ? "0\xc2\xb0" : label);
    }
}

std::string coverage_map_svg(const catalogue_store& store, int epoch) {
    coverage_counts counts = count_cells(store);
    std::string equinox = epoch == 1950 ? "B1950" : "J2000";
    std::string held = std::to_string(counts.mapped) + (counts.mapped == 1 ? " entry" : " entries");
    svg_canvas canvas;
    canvas.start(page_width, page_height, "galsift: where the catalogue has entries");
    canvas.words(20, 24, "start", 15,
                 "Where the catalogue has entries: " + held + " (" + equinox + ")",
                 "id=\"coverage\" font-weight=\"bold\"");
    canvas.words(20, 44, "start", 11,
                 "Hammer-Aitoff projection of the whole sky, equatorial, right ascension "
                 "increasing to the left (12h in the middle); cells of 15.9 square degrees");
    if (counts.mapped > 0)
        draw_cells(canvas, counts);
    draw_grid(canvas);
    if (counts.mapped == 0)
        canvas.words(centre_x, centre_y - 30, "middle", 14, "The catalogue holds no entry");
    if (counts.left_out > 0)
        canvas.words(20, page_height - 10, "start", 11,
                     std::to_string(counts.left_out) +
                         " entries left out: their position is not on the sky");
    canvas.end();
    return canvas.text;
}
