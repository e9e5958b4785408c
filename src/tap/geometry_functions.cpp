// ADQL's geometry as SQL functions over the numbers of the shapes (degrees):
//   adql_distance(ra1, dec1, ra2, dec2)             the distance, degrees
//   adql_in_circle(ra, dec, ra0, dec0, radius)      1 when inside (or on), else 0
//   adql_in_box(ra, dec, ra0, dec0, width, height)  likewise
//   adql_in_polygon(ra, dec, ra1, dec1, ra2, dec2, ...)  likewise; an error when no
//                                                   hemisphere holds the polygon
//   adql_point(ra, dec), adql_circle(ra, dec, radius), adql_polygon(ra1, dec1, ...),
//   adql_box(ra0, dec0, width, height)              a selected shape as DALI writes it:
//                                                   its numbers separated by spaces (a
//                                                   box as the polygon of its corners)
// The regions are those of spherical_geometry.h; every one gives NULL for a NULL argument.
#include "tap/spherical_geometry.h"
#include "tap/sql_functions.h"

#include <sqlite3.h>

#include <charconv>
#include <string>
#include <vector>

namespace {

const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
const char polygon_too_large_message[] =
    "POLYGON: the polygon does not fit in a hemisphere, which this service requires";

// The arguments as numbers into `numbers` (room for `count`); false (and a NULL result)
// when one is NULL.
bool numbers_of(sqlite3_context* context, int count, sqlite3_value** values, double* numbers) {
    for (int n = 0; n < count; n++) {
        if (sqlite3_value_type(values[n]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return false;
        }
        numbers[n] = sqlite3_value_double(values[n]);
    }
    return true;
}

// The same into a vector, for the functions of any number of arguments.
bool numbers_of(sqlite3_context* context, int count, sqlite3_value** values,
                std::vector<double>& numbers) {
    numbers.resize(static_cast<std::size_t>(count));
    return numbers_of(context, count, values, numbers.data());
}

// The four-number functions of the geometry: see the head of the file.
void call_distance(sqlite3_context* context, int count, sqlite3_value** values) {
    double x[4];
    if (numbers_of(context, count, values, x))
        sqlite3_result_double(context, distance_degrees({x[0], x[1]}, {x[2], x[3]}));
}

void call_in_circle(sqlite3_context* context, int count, sqlite3_value** values) {
    double x[5];
    if (numbers_of(context, count, values, x))
        sqlite3_result_int(context, in_circle({x[0], x[1]}, {x[2], x[3]}, x[4]));
}

void call_in_box(sqlite3_context* context, int count, sqlite3_value** values) {
    double x[6];
    if (numbers_of(context, count, values, x))
        sqlite3_result_int(context, in_box({x[0], x[1]}, {x[2], x[3]}, x[4], x[5]));
}

// The vertices of a polygon from numbers[first...]; false when they are not pairs of at
// least three.
bool vertices_of(const std::vector<double>& numbers, std::size_t first,
                 std::vector<sky_position>& vertices) {
    if (numbers.size() < first + 6 || (numbers.size() - first) % 2)
        return false;
    for (std::size_t n = first; n < numbers.size(); n += 2)
        vertices.push_back({numbers[n], numbers[n + 1]});
    return true;
}

// adql_in_polygon: an error when the polygon is too large for the test.
void call_in_polygon(sqlite3_context* context, int count, sqlite3_value** values) {
    std::vector<double> x;
    std::vector<sky_position> vertices;
    if (!numbers_of(context, count, values, x))
        return;
    if (!vertices_of(x, 2, vertices)) {
        sqlite3_result_error(context, "adql_in_polygon: wrong number of arguments", -1);
        return;
    }
    int inside = in_polygon({x[0], x[1]}, vertices);
    if (inside == polygon_too_large)
        sqlite3_result_error(context, polygon_too_large_message, -1);
    else
        sqlite3_result_int(context, inside);
}

// The numbers separated by single spaces, each in the shortest digits that read back the
// same.
void result_numbers(sqlite3_context* context, const std::vector<double>& numbers) {
    std::string text;
    for (double number : numbers) {
        char digits[32];
        std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, number);
        text += (text.empty() ? "" : " ") + std::string(digits, written.ptr);
    }
    sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// adql_point, adql_circle, adql_polygon: their own numbers.
void call_shape(sqlite3_context* context, int count, sqlite3_value** values) {
    std::vector<double> x;
    if (numbers_of(context, count, values, x))
        result_numbers(context, x);
}

// adql_box: the corners of the box; NULL for a box of half-sizes of 90 degrees or more.
void call_box(sqlite3_context* context, int count, sqlite3_value** values) {
    double box[4];
    std::vector<sky_position> corners;
    if (!numbers_of(context, count, values, box))
        return;
    if (!box_corners({box[0], box[1]}, box[2], box[3], corners)) {
        sqlite3_result_null(context);
        return;
    }
    std::vector<double> x;
    for (const sky_position& corner : corners) {
        x.push_back(corner.ascension);
        x.push_back(corner.declination);
    }
    result_numbers(context, x);
}

} // namespace

// Registers the geometry functions above on `db`.
int register_geometry_functions(sqlite3* db) {
    struct {
        const char* name;
        int arguments; // -1: any number
        void (*call)(sqlite3_context*, int, sqlite3_value**);
    } const functions[] = {
        {"adql_distance", 4, call_distance}, {"adql_in_circle", 5, call_in_circle},
        {"adql_in_box", 6, call_in_box},     {"adql_in_polygon", -1, call_in_polygon},
        {"adql_point", 2, call_shape},       {"adql_circle", 3, call_shape},
        {"adql_polygon", -1, call_shape},    {"adql_box", 4, call_box},
    };
    int status = SQLITE_OK;
    for (const auto& f : functions)
        if (status == SQLITE_OK)
            status = sqlite3_create_function(db, f.name, f.arguments, pure, nullptr, f.call,
                                             nullptr, nullptr);
    return status;
}
