// The pictures: axis marks in the form's units, the redshift bins of the stated rule, the
// sky plot's marks where an astronomer looks for them (east to the left, north up), its
// count, its empty and dense answers, the equal-area map; every document read by expat,
// so that one that is not well formed, or that holds a script, fails.
#include "picture/axis_ticks.h"
#include "picture/colour_scale.h"
#include "picture/coverage_map.h"
#include "picture/redshift_histogram.h"
#include "picture/sky_plot.h"
#include "query/query_bounds.h"
#include "store/store_load.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

// ---- A document as expat reads it ----

struct read_document {
    bool well_formed = false;
    std::vector<std::string> elements;                       // every element's name, in order
    std::vector<std::map<std::string, std::string>> circles; // the attributes of each disc
    std::map<std::string, std::string> texts;                // a text element's words, by id
    std::vector<std::string> words;                          // every text element's words
    bool handler_attribute = false;                          // an "on..." attribute anywhere
    std::string open_id;                                     // the id of the text being read
    bool in_text = false;
};

static void XMLCALL on_start(void* to, const XML_Char* name, const XML_Char** attributes) {
    auto& document = *static_cast<read_document*>(to);
    document.elements.push_back(name);
    std::map<std::string, std::string> pairs;
    for (int n = 0; attributes[n]; n += 2) {
        pairs[attributes[n]] = attributes[n + 1];
        document.handler_attribute |= std::string(attributes[n]).compare(0, 2, "on") == 0;
    }
    if (std::string(name) == "circle")
        document.circles.push_back(pairs);
    document.in_text = std::string(name) == "text";
    if (document.in_text) {
        document.open_id = pairs["id"];
        document.words.emplace_back();
    }
}

static void XMLCALL on_end(void* to, const XML_Char*) {
    static_cast<read_document*>(to)->in_text = false;
}

static void XMLCALL on_characters(void* to, const XML_Char* text, int length) {
    auto& document = *static_cast<read_document*>(to);
    if (!document.in_text)
        return;
    document.words.back().append(text, static_cast<std::size_t>(length));
    if (!document.open_id.empty())
        document.texts[document.open_id] = document.words.back();
}

static read_document read_svg(const std::string& svg) {
    read_document document;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &document);
    XML_SetElementHandler(parser, on_start, on_end);
    XML_SetCharacterDataHandler(parser, on_characters);
    document.well_formed =
        XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return document;
}

// Whether some text of `list` holds `item`.
static bool holds(const std::vector<std::string>& list, const std::string& item) {
    for (const std::string& one : list)
        if (one.find(item) != std::string::npos)
            return true;
    return false;
}

// Checks what every picture must be: well formed, an svg made of plain shapes and text
// only (no script, link, embedded document or style sheet), no event handler.
static void expect_safe(const read_document& document) {
    ASSERT_TRUE(document.well_formed);
    EXPECT_EQ(document.elements.front(), "svg");
    const std::vector<std::string> plain = {"svg",    "title", "rect", "text",           "line",
                                            "circle", "path",  "defs", "linearGradient", "stop"};
    for (const std::string& name : document.elements)
        EXPECT_NE(std::find(plain.begin(), plain.end(), name), plain.end()) << name;
    EXPECT_FALSE(document.handler_attribute);
}

// ---- Axis marks ----

TEST(Pictures, AxisMarksInTheFormsUnits) {
    struct marks_case {
        const char* kind;
        double low, high;
        int most;
        std::vector<std::string> labels;
    } cases[] = {
        {"ra", 47090, 47110, 3, {"13:04:50", "13:05:00", "13:05:10"}},
        {"ra", 0, 86400, 6, {"00:00:00", "06:00:00", "12:00:00", "18:00:00", "24:00:00"}},
        {"ra", 100, 100.6, 4, {"00:01:40.0", "00:01:40.2", "00:01:40.4", "00:01:40.6"}},
        {"dec", -1800, 600, 5, {"-00:30:00", "-00:20:00", "-00:10:00", "+00:00:00", "+00:10:00"}},
        {"dec", 87900, 88200, 3, {"+24:26:00", "+24:28:00", "+24:30:00"}},
        {"dec",
         -324000,
         324000,
         5,
         {"-90:00:00", "-45:00:00", "+00:00:00", "+45:00:00", "+90:00:00"}},
        {"z", 0.5, 3, 6, {"0.5", "1.0", "1.5", "2.0", "2.5", "3.0"}},
        {"z", 0, 7, 5, {"0", "2", "4", "6"}},
    };
    for (const marks_case& c : cases) {
        std::string kind = c.kind;
        std::vector<axis_tick> ticks = kind == "ra"    ? ascension_ticks(c.low, c.high, c.most)
                                       : kind == "dec" ? declination_ticks(c.low, c.high, c.most)
                                                       : decimal_ticks(c.low, c.high, c.most);
        std::vector<std::string> labels;
        for (const axis_tick& tick : ticks)
            labels.push_back(tick.label);
        EXPECT_EQ(labels, c.labels) << kind << " " << c.low << " to " << c.high;
    }
}

// ---- Redshift bins ----

TEST(Pictures, RedshiftBinsByTheStatedRule) {
    std::vector<double> hundred;
    for (int n = 0; n < 100; n++)
        hundred.push_back(n / 100.0);
    struct bins_case {
        const char* what;
        std::vector<double> redshifts;
        double query_low, query_high;
        bool over_query;
        double low, high;
        std::vector<std::size_t> counts;
    } cases[] = {
        {"100 in the query's interval: 8 bins",
         hundred,
         0,
         1,
         true,
         0,
         1,
         {13, 12, 13, 12, 13, 12, 13, 12}},
        {"a boundary goes up, the top end to the last bin",
         {0, 0.25, 0.5, 0.6, 1},
         0,
         1,
         true,
         0,
         1,
         {1, 1, 2, 1}},
        {"an interval far wider than the redshifts found",
         {1, 1.5, 2},
         0,
         1000,
         false,
         1,
         2,
         {1, 1, 1}},
        {"an infinite interval", {1, 2}, -INFINITY, INFINITY, false, 1, 2, {1, 1}},
        {"one galaxy", {2}, 0.5, 3, false, 1.995, 2.005, {1}},
    };
    for (const bins_case& c : cases) {
        redshift_bins bins = bin_redshifts(c.redshifts, c.query_low, c.query_high);
        EXPECT_EQ(bins.over_query, c.over_query) << c.what;
        EXPECT_NEAR(bins.low, c.low, 1e-12) << c.what;
        EXPECT_NEAR(bins.high, c.high, 1e-12) << c.what;
        EXPECT_EQ(bins.counts, c.counts) << c.what;
    }
}

// ---- The sky plot ----

// Entries handed from a vector.
struct entries_at {
    std::vector<catalogue_entry> entries;
    std::size_t next = 0;
};

static bool read_next(void* state, catalogue_entry& entry) {
    auto& at = *static_cast<entries_at*>(state);
    if (at.next == at.entries.size())
        return false;
    entry = at.entries[at.next++];
    return true;
}

// An entry at `hours`:`minutes`:`seconds`, `sign``degrees`:`arcminutes`:00, of `redshift`.
static catalogue_entry galaxy(double hours, double minutes, double seconds, int sign,
                              double degrees, double arcminutes, double redshift) {
    catalogue_entry entry;
    entry.ascension = {hours, minutes, seconds, 1};
    entry.declination = {degrees, arcminutes, 0, sign};
    entry.redshift = redshift;
    return entry;
}

static query_bounds box(arc ra_low, arc ra_high, arc dec_low, arc dec_high) {
    query_bounds query;
    query.minimal_ascension = ra_low;
    query.maximal_ascension = ra_high;
    query.minimal_declination = dec_low;
    query.maximal_declination = dec_high;
    query.min_redshift = 0.5;
    query.max_redshift = 3;
    return query;
}

static read_document plot(std::vector<catalogue_entry> entries, const query_bounds& query) {
    std::size_t count = entries.size();
    entries_at at{std::move(entries)};
    entry_reader reader;
    reader.read = read_next;
    reader.state = &at;
    return read_svg(sky_plot_svg(reader, count, query));
}

TEST(Pictures, SkyPlotEastToTheLeftNorthUpColouredByRedshift) {
    // A box across 0 degrees: "-00" entries must fall south of the equator.
    query_bounds query = box({13, 0, 0}, {13, 10, 0}, {0, 30, 0, -1}, {0, 30, 0, 1});
    read_document document = plot({galaxy(13, 2, 0, 1, 0, 20, 0.5),  // west, north
                                   galaxy(13, 8, 0, -1, 0, 20, 2.5), // east, south ("-00")
                                   galaxy(13, 5, 0, 1, 0, 0, 1.5)},  // the middle
                                  query);
    expect_safe(document);
    EXPECT_EQ(document.texts["count"], "3 galaxies");
    ASSERT_EQ(document.circles.size(), 3u);
    auto x = [&](std::size_t n) { return std::stod(document.circles[n]["cx"]); };
    auto y = [&](std::size_t n) { return std::stod(document.circles[n]["cy"]); };
    EXPECT_GT(x(0), x(2)); // a smaller right ascension lies to the right
    EXPECT_LT(x(1), x(2));
    EXPECT_LT(y(0), y(2)); // north is up
    EXPECT_GT(y(1), y(2));
    EXPECT_NEAR(x(0) + x(1), 2 * x(2), 0.2); // the scale is even
    EXPECT_EQ(document.circles[0]["fill"], scale_colour(0));
    EXPECT_EQ(document.circles[1]["fill"], scale_colour(1));
    EXPECT_TRUE(holds(document.words, "13:10:00"));
    EXPECT_TRUE(holds(document.words, "-00:15:00"));
    EXPECT_TRUE(holds(document.words, "Sturges"));
}

TEST(Pictures, SkyPlotOfNoGalaxyAndOfManyGalaxies) {
    query_bounds query = box({10, 0, 0}, {14, 0, 0}, {10, 0, 0, -1}, {40, 0, 0, 1});
    read_document empty = plot({}, query);
    expect_safe(empty);
    EXPECT_EQ(empty.texts["count"], no_galaxy_text);
    EXPECT_TRUE(empty.circles.empty());

    for (std::size_t count : {sky_marks_limit, sky_marks_limit + 1}) {
        std::vector<catalogue_entry> many;
        for (std::size_t n = 0; n < count; n++)
            many.push_back(galaxy(10 + static_cast<double>(n % 240) / 60, 0, 0, 1,
                                  static_cast<double>(n % 40), 0,
                                  0.5 + static_cast<double>(n % 25) / 10));
        read_document document = plot(many, query);
        expect_safe(document);
        EXPECT_EQ(document.texts["count"], galaxies_text(count));
        bool dense = count > sky_marks_limit;
        EXPECT_EQ(document.circles.size(), dense ? 0u : count);
        EXPECT_EQ(holds(document.words, "each cell of the grid"), dense);
    }
}

// ---- The coverage map ----

// The area of the map cell between right ascensions `west` and `east` and declinations
// `south` and `north` (degrees), its sides followed closely.
static double map_area(double west, double east, double south, double north) {
    std::vector<map_point> outline;
    const int steps = 40;
    for (int n = 0; n <= steps; n++)
        outline.push_back(hammer_aitoff(west + (east - west) * n / steps, south));
    for (int n = 0; n <= steps; n++)
        outline.push_back(hammer_aitoff(east, south + (north - south) * n / steps));
    for (int n = 0; n <= steps; n++)
        outline.push_back(hammer_aitoff(east - (east - west) * n / steps, north));
    for (int n = 0; n <= steps; n++)
        outline.push_back(hammer_aitoff(west, north - (north - south) * n / steps));
    double twice = 0;
    for (std::size_t n = 0; n < outline.size(); n++) {
        const map_point& a = outline[n];
        const map_point& b = outline[(n + 1) % outline.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

TEST(Pictures, CoverageMapIsEqualAreaAndShowsTheCatalogue) {
    const double degrees = 57.29577951308232;
    map_point middle = hammer_aitoff(180, 0), six_hours = hammer_aitoff(90, 0);
    EXPECT_NEAR(middle.x, 0, 1e-12);
    EXPECT_NEAR(middle.y, 0, 1e-12);
    EXPECT_GT(six_hours.x, 0); // 6h lies right of 12h: right ascension grows to the left
    EXPECT_NEAR(hammer_aitoff(0, 90).y, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(hammer_aitoff(360, 0).x, -2 * std::sqrt(2.0), 1e-12);
    // The map's whole area is the sky's 4 pi; a cell of the grid has its share anywhere.
    double share = 4 * std::acos(-1.0) / (coverage_columns * coverage_bands);
    for (int band : {0, 17, 18, 35}) {
        for (int column : {0, 20, 36, 71}) {
            double south = std::asin(2.0 * band / coverage_bands - 1) * degrees;
            double north = std::asin(2.0 * (band + 1) / coverage_bands - 1) * degrees;
            EXPECT_NEAR(map_area(5.0 * column, 5.0 * (column + 1), south, north) / share, 1, 0.005)
                << band << " " << column;
        }
    }

    catalogue_store store;
    store_load_report report;
    ASSERT_EQ(load_store(GALSIFT_EXAMPLE_DIR "/CG2000.dat", store, report), store_loaded);
    read_document map = read_svg(coverage_map_svg(store, 2000));
    expect_safe(map);
    EXPECT_EQ(map.texts["coverage"], "Where the catalogue has entries: " +
                                         std::to_string(store.size()) + " entries (J2000)");
    read_document none = read_svg(coverage_map_svg(catalogue_store(), 2000));
    expect_safe(none);
    EXPECT_TRUE(holds(none.words, "The catalogue holds no entry"));
}
