// What the site says of itself and the conventions of its cone search, where a client
// would be misled without an error: MAXREC and RESPONSEFORMAT, the status of a cut answer,
// the publisher's settings, the site's own address, the MOC's serialisations.
#include "store/store_load.h"
#include "vo/cone_search.h"
#include "vo/csv_table.h"
#include "vo/moc_writers.h"
#include "vo/registry_settings.h"
#include "vo/site_address.h"
#include "vo/table_columns.h"
#include "vo/vosi_availability.h"
#include "vo/vosi_tables.h"
#include "vo/votable.h"
#include "web/publisher_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

static std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        count++;
    return count;
}

TEST(vosi_cone, MaxrecAndResponseFormatRead) {
    const std::string cone = "RA=1&DEC=2&SR=1";
    struct {
        std::string more;
        long long maxrec;
        cone_format format;
        const char* content_type;
        const char* why; // null: accepted
    } cases[] = {
        {"", -1, cone_votable, votable_content_type, nullptr},
        {"&MAXREC=0", 0, cone_votable, votable_content_type, nullptr},
        {"&maxrec=25&responseformat=CSV", 25, cone_csv, csv_content_type, nullptr},
        {"&ResponseFormat=text/csv", -1, cone_csv, csv_content_type, nullptr},
        {"&RESPONSEFORMAT=application/x-votable%2Bxml", -1, cone_votable,
         "application/x-votable+xml", nullptr},
        {"&RESPONSEFORMAT=text/xml&MAXREC=007", 7, cone_votable, votable_content_type, nullptr},
        {"&MAXREC=99999999999999999999", 1000000000000000LL, cone_votable, votable_content_type,
         nullptr},
        {"&MAXREC=-1", 0, cone_votable, "", "MAXREC must be a whole number of rows, 0 or more"},
        {"&MAXREC=1.5", 0, cone_votable, "", "MAXREC must be a whole number of rows, 0 or more"},
        {"&MAXREC=", 0, cone_votable, "", "MAXREC must be a whole number of rows, 0 or more"},
        {"&MAXREC=1&maxrec=2", 0, cone_votable, "", "a parameter is given twice: MAXREC"},
        {"&RESPONSEFORMAT=fits", 0, cone_votable, "",
         "RESPONSEFORMAT must be votable, csv, application/x-votable+xml, text/xml or text/csv"},
        {"&RESPONSEFORMAT=application/x-votable+xml", 0, cone_votable, "", // "+" is a space
         "RESPONSEFORMAT must be votable, csv, application/x-votable+xml, text/xml or text/csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.more);
        cone_request request;
        std::string why;
        bool read = read_cone_request(cone + c.more, request, why);
        EXPECT_EQ(read, c.why == nullptr);
        if (!read) {
            EXPECT_EQ(why, c.why);
            continue;
        }
        EXPECT_EQ(request.maxrec, c.maxrec);
        EXPECT_EQ(request.format, c.format);
        EXPECT_STREQ(request.content_type, c.content_type);
    }
}

// Five entries on the equator at right ascensions 3, 1, 2, 0 and 4 degrees, all within
// 2.5 degrees of (2, 0).
TEST(vosi_cone, CutAtMaxrecOrTheSiteLimitSaysOverflowBeforeTheTable) {
    std::string path = testing::TempDir() + "galsift-vosi-cone.dat";
    std::ofstream(path) << "00$12$0$+00$00$00$0$ a $r$\n00$04$0$+00$00$00$0$ b $r$\n"
                           "00$08$0$+00$00$00$0$ c $r$\n00$00$0$+00$00$00$0$ d $r$\n"
                           "00$16$0$+00$00$00$0$ e $r$\n";
    catalogue_store store;
    store_load_report report;
    ASSERT_EQ(load_store(path.c_str(), store, report), store_loaded);
    std::remove(path.c_str());
    struct {
        const char* more;
        std::size_t site_limit;
        std::size_t rows;
        const char* overflow; // the OVERFLOW INFO's text; null: status OK
    } cases[] = {
        {"SR=2.5", 0, 5, nullptr},
        {"SR=2.5&MAXREC=5", 0, 5, nullptr},
        {"SR=2.5&MAXREC=4", 0, 4, "The answer was cut at MAXREC rows"},
        {"SR=2.5&MAXREC=0", 0, 0, "MAXREC=0: the table"},
        {"SR=0&MAXREC=0", 0, 0, "MAXREC=0: the table"},
        {"SR=0", 3, 0, nullptr},
        {"SR=2.5", 3, 3, "The answer was cut at the site"},
        {"SR=2.5&MAXREC=2", 3, 2, "The answer was cut at MAXREC rows"},
        {"SR=2.5&MAXREC=4", 3, 3, "The answer was cut at the site"},
        {"SR=2.5&MAXREC=3", 3, 3, "The answer was cut at the site"},
        {"SR=2.5&MAXREC=5", 5, 5, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.more) + " limit " + std::to_string(c.site_limit));
        cone_service service;
        service.row_limit = c.site_limit;
        text_sink out;
        answer_cone(std::string("RA=2&DEC=0&") + c.more, store, service, out);
        const std::string& body = out.held;
        EXPECT_EQ(count_of(body, "<TR>"), c.rows);
        EXPECT_EQ(count_of(body, "name=\"QUERY_STATUS\""), 1u);
        std::size_t status = body.find("<INFO name=\"QUERY_STATUS\" value=\"");
        ASSERT_NE(status, std::string::npos);
        EXPECT_LT(status, body.find("<TABLE"));
        std::string expected = std::string("<INFO name=\"QUERY_STATUS\" value=\"") +
                               (c.overflow ? std::string("OVERFLOW\">") + c.overflow : "OK\"/>");
        EXPECT_EQ(body.compare(status, expected.size(), expected), 0) << body.substr(status, 120);
    }
    // CSV: the same rows, a header line of the names, no status (CSV has no place for it).
    cone_service service;
    service.row_limit = 2;
    text_sink out;
    answer_cone("RA=2&DEC=0&SR=1.5&VERB=1&RESPONSEFORMAT=csv", store, service, out);
    EXPECT_EQ(count_of(out.held, "\r\n"), 3u) << out.held;
    EXPECT_EQ(out.held.rfind("id,ra,dec\r\na,", 0), 0u) << out.held;
    EXPECT_NE(out.held.find("\r\nb,"), std::string::npos) << out.held;
}

TEST(vosi_cone, FrameInTheCoordinateSystem) {
    struct {
        const char* name;
        const char* coosys; // null: not a frame
    } cases[] = {
        {"ICRS", "<COOSYS ID=\"system\" system=\"ICRS\"/>"},
        {" fk5   j2000 ", "<COOSYS ID=\"system\" system=\"eq_FK5\" equinox=\"J2000\"/>"},
        {"FK4 B1950", "<COOSYS ID=\"system\" system=\"eq_FK4\" equinox=\"B1950\"/>"},
        {"FK5", nullptr},
        {"FK4 J2000", nullptr},
        {"galactic", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        coordinate_frame frame = frame_of_epoch(2000);
        EXPECT_EQ(frame_named(c.name, frame), c.coosys != nullptr);
        if (!c.coosys)
            continue;
        text_sink out;
        put_votable_head(out, frame, "d", nullptr, 0, "");
        EXPECT_NE(out.held.find(c.coosys), std::string::npos) << out.held;
    }
}

TEST(vosi_registry, SettingsRead) {
    site_publisher read;
    std::string said;
    ASSERT_EQ(read_publisher_text("# a comment\n"
                                  "  title = A catalogue  \n"
                                  "identifier = ivo://example.org/cat/one\n"
                                  "institution = An institute\n"
                                  "contact = A. Person <a.person@example.org>\n"
                                  "author = B. Author <b@example.org>\n"
                                  "author = C. Author <c@example.org>\n"
                                  "description = First half, second half.\n"
                                  "subject = galaxies\n"
                                  "subject = redshift surveys\n"
                                  "reference_url = https://example.org/cat/\n"
                                  "site_url = https://example.org/cat//\n"
                                  "frame_2000 = icrs\n"
                                  "moc_order = 9\n"
                                  "owner = The owner\n"
                                  "short_name = A cat\n"
                                  "publisher_id = ivo://example.org\n"
                                  "created = 2020-02-02\n"
                                  "waveband = Optical\n"
                                  "waveband = Radio\n"
                                  "\n",
                                  publisher_file_name, publisher_texts(), registry_texts(), read,
                                  said),
              publisher_read);
    EXPECT_EQ(said, "");
    registry_settings settings = registry_settings_of(read);
    EXPECT_EQ(settings.title, "A catalogue");
    EXPECT_EQ(settings.identifier, "ivo://example.org/cat/one");
    EXPECT_EQ(settings.publisher, "An institute");
    EXPECT_EQ(settings.contact_name, "A. Person");
    EXPECT_EQ(settings.contact_email, "a.person@example.org");
    EXPECT_EQ(settings.creators, (std::vector<std::string>{"B. Author", "C. Author"}));
    EXPECT_EQ(settings.description, "First half, second half.");
    EXPECT_EQ(settings.subjects, (std::vector<std::string>{"galaxies", "redshift surveys"}));
    EXPECT_EQ(settings.site_url, "https://example.org/cat");
    EXPECT_EQ(settings.short_name, "A cat");
    EXPECT_EQ(settings.publisher_id, "ivo://example.org");
    EXPECT_EQ(settings.created, "2020-02-02");
    EXPECT_EQ(settings.wavebands, (std::vector<std::string>{"Optical", "Radio"}));
    EXPECT_STREQ(settings.frames[0].system, "ICRS");
    EXPECT_STREQ(settings.frames[1].system, "eq_FK4");
    EXPECT_EQ(read.services.moc_order, 9);
    EXPECT_EQ(missing_record_settings(settings), "");
    EXPECT_EQ(missing_record_settings(registry_settings()),
              "title, identifier, publisher (or institution), contact, description, subject, "
              "reference_url");

    struct {
        const char* text;
        const char* note; // after "publisher.conf line N: "
        int line = 1;     // N
    } refused[] = {
        {"no equals sign", "no \"=\": a line is key = value, or a comment after #"},
        {"= value", "unknown key \"\""},
        {"title =", "\"title\" has no value"},
        {"identifer = ivo://a.b/c", "unknown key \"identifer\""},
        {"identifier = http://example.org/", "\"identifier\" is not an IVOA identifier"},
        {"identifier = ivo://ab", "\"identifier\" is not an IVOA identifier"},
        {"identifier = ivo://example.org//x", "\"identifier\" is not an IVOA identifier"},
        {"identifier = ivo://example.org/x/", "\"identifier\" is not an IVOA identifier"},
        {"identifier = ivo://exa mple.org", "\"identifier\" is not an IVOA identifier"},
        {"contact = A. Person <a.person>", "\"contact\": \"a.person\" is not a mail address"},
        {"contact = A. Person <a@b.c", "\"contact\" is not written Name <mail>"},
        {"reference_url = example.org", "\"reference_url\" is not an http:// or https:// address"},
        {"site_url = http://a b/", "\"site_url\" is not an http:// or https:// address"},
        {"created = 2024-13-01", "\"created\" is not a date, YYYY-MM-DD"},
        {"frame_1950 = FK4", "\"frame_1950\" is not ICRS, FK5 J2000 or FK4 B1950"},
        {"moc_order = 30", "\"moc_order\" is not a whole number from 0 to 29"},
        {"moc_order = 8.5", "\"moc_order\" is not a whole number from 0 to 29"},
        {"short_name = seventeen letters", "\"short_name\" is longer than 16 bytes"},
        // A creator has a mail as every author does; a description is one line.
        {"author = C. Author", "\"author\" is not written Name <mail>"},
        {"description = First half,\ndescription = second half.",
         "\"description\" given again, first at line 1", 2},
    };
    for (const auto& c : refused) {
        site_publisher unread;
        std::string why;
        EXPECT_EQ(read_publisher_text(c.text, publisher_file_name, publisher_texts(),
                                      registry_texts(), unread, why),
                  publisher_refused)
            << c.text;
        std::string expected = "publisher.conf line " + std::to_string(c.line) + ": " + c.note;
        EXPECT_EQ(why.rfind(expected, 0), 0u) << c.text << ": " << why;
        EXPECT_EQ(std::count(why.begin(), why.end(), '\n'), 1) << c.text << ": " << why;
        EXPECT_STREQ(unread.record.identifier, "") << c.text;
        EXPECT_EQ(unread.services.moc_order, -1) << c.text;
    }
}

TEST(vosi_site, AddressFromTheRequest) {
    struct {
        request_address at;
        const char* route;
        const char* site;
    } cases[] = {
        {{"127.0.0.1:8080", "http", "", "127.0.0.1", "8080", "/capabilities"},
         "/capabilities",
         "http://127.0.0.1:8080"},
        {{"example.org", "", "on", "example.org", "443", "/galsift/tables/cone"},
         "/tables/cone",
         "https://example.org/galsift"},
        {{"[::1]:8080", "https", "", "", "", "/a/b/record"}, "/record", "https://[::1]:8080/a/b"},
        {{"evil.org\"><x", "http", "", "example.org", "8080", "/record"},
         "/record",
         "http://example.org:8080"},
        {{"", "http", "", "example.org", "80", "/record"}, "/record", "http://example.org"},
        {{"", "gopher", "on", "", "", "/record"}, "/record", "https://localhost"},
        {{"a:b:c", "http", "", "example.org", "443", "/x y/record"},
         "/record",
         "http://example.org:443"},
        {{"example.org", "http", "", "", "", "/results"}, "/record", "http://example.org"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(site_base_url(c.at, c.route), c.site) << c.at.host << " " << c.at.path;
}

TEST(vosi_moc, AsciiAndFits) {
    struct {
        coverage_map map;
        const char* ascii;
    } cases[] = {
        {{3, {}}, "3/"},
        {{0, {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}}, "0/0-11"},
        {{2, {5, 7, 16 + 1, 64 + 0, 64 + 1, 64 + 2, 64 + 9}}, "0/1 3 1/1 2/0-2 9"},
        {{8, {64 + 3, 4 * 65536 + 65535}}, "2/3 8/65535"},
        {{9, {64 + 3, 4 * 65536 + 65535}}, "2/3 8/65535 9/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(moc_ascii(c.map), c.ascii);

    coverage_map deep{14, {16 + 2, (std::int64_t{4} << 28) + 258}};
    for (const coverage_map& map : {cases[2].map, deep}) {
        bool wide = map.order > 13;
        std::string fits = moc_fits(map, "ivo://example.org/cat", "galsift test");
        ASSERT_EQ(fits.size(), 3 * 2880u);
        auto card = [&](const std::string& keyword) {
            for (std::size_t at = 2880; at < 5760; at += 80)
                if (fits.compare(at, keyword.size(), keyword) == 0)
                    return fits.substr(at, 80).substr(0, fits.substr(at, 80).find_last_not_of(' ') +
                                                             1);
            return std::string("missing ") + keyword;
        };
        // A value ends in column 30 (a number) or starts in column 11 (a text in quotes).
        auto fixed = [](const char* keyword, const std::string& value) {
            return std::string(keyword) + std::string(8 - std::string(keyword).size(), ' ') + "= " +
                   std::string(20 - value.size(), ' ') + value;
        };
        std::string rows = std::to_string(map.cells.size());
        EXPECT_EQ(fits.substr(0, 30), fixed("SIMPLE", "T"));
        EXPECT_EQ(card("NAXIS2 "), fixed("NAXIS2", rows));
        EXPECT_EQ(card("NAXIS1 "), fixed("NAXIS1", wide ? "8" : "4"));
        EXPECT_EQ(card("TFORM1 "), wide ? "TFORM1  = '1K      '" : "TFORM1  = '1J      '");
        EXPECT_EQ(card("MOCORD_S"),
                  fixed("MOCORD_S", wide ? "14" : "2") + " / MOC resolution (best order)");
        EXPECT_EQ(card("MOCVERS "),
                  "MOCVERS = '2.0     '" + std::string(10, ' ') + " / MOC version");
        EXPECT_EQ(card("COORDSYS"),
                  "COORDSYS= 'C       '" + std::string(10, ' ') + " / ICRS reference frame");
        EXPECT_EQ(card("MOCID   "), "MOCID   = 'ivo://example.org/cat'");
        EXPECT_EQ(card("END     ").substr(0, 3), "END");
        std::size_t width = wide ? 8 : 4;
        for (std::size_t n = 0; n < map.cells.size(); n++) {
            std::int64_t value = 0;
            for (std::size_t byte = 0; byte < width; byte++)
                value = value << 8 | static_cast<unsigned char>(fits[5760 + n * width + byte]);
            EXPECT_EQ(value, map.cells[n]);
        }
        EXPECT_EQ(fits.find_first_not_of('\0', 5760 + map.cells.size() * width), std::string::npos);
    }
}

TEST(vosi_availability, NotesAndUpSince) {
    std::string up = availability_document(true, 86400, "");
    EXPECT_NE(up.find("<vosi:available>true</vosi:available>\n  "
                      "<vosi:upSince>1970-01-02T00:00:00Z</vosi:upSince>\n</vosi:availability>"),
              std::string::npos);
    std::string down = availability_document(false, 86400, "CG2000.dat is missing\n\na <b>\n");
    EXPECT_EQ(down.find("upSince"), std::string::npos);
    EXPECT_NE(down.find("<vosi:available>false</vosi:available>\n"
                        "  <vosi:note>CG2000.dat is missing</vosi:note>\n"
                        "  <vosi:note>a &lt;b&gt;</vosi:note>\n</vosi:availability>"),
              std::string::npos);
}

// One writer for the site's tables and the table service's: a table found by its name in
// any case, keys and flags where they are, no columns at detail=min.
TEST(vosi_tables, TablesetAndOneTable) {
    const coordinate_frame frames[2] = {frame_of_epoch(2000), frame_of_epoch(1950)};
    described_schema queried{"cat", "", {{"cat.main", "", "table", {}, {}}}};
    described_column position;
    position.name = "ra";
    position.datatype = "double";
    position.indexed = true;
    queried.tables[0].columns = {position};
    queried.tables[0].keys = {{"cat.other", "ra", "ra_other", ""}};
    std::vector<described_schema> schemas = {answers_schema(frames), queried};

    std::string all = tableset_document(schemas, true);
    std::string brief = tableset_document(schemas, false);
    EXPECT_EQ(count_of(all, "<schema>"), 2u);
    EXPECT_EQ(count_of(all, "<column>"), cone_column_count + selection_column_count + 1);
    EXPECT_EQ(count_of(brief, "<table type="), 3u);
    EXPECT_EQ(brief.find("<column>"), std::string::npos);
    EXPECT_EQ(brief.find("<foreignKey>"), std::string::npos);

    std::string one = table_document(schemas, "CAT.Main");
    EXPECT_EQ(one.find("<vosi:table xmlns:vosi="), one.find('\n') + 1) << one;
    EXPECT_NE(one.find("<dataType xsi:type=\"vs:VOTableType\">double</dataType>\n"
                       "    <flag>indexed</flag>"),
              std::string::npos)
        << one;
    EXPECT_NE(one.find("<targetTable>cat.other</targetTable>"), std::string::npos) << one;
    EXPECT_NE(table_document(schemas, "cone").find("<name>dec_dms</name>"), std::string::npos);
    EXPECT_EQ(table_document(schemas, "cat"), "");
}
