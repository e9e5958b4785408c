// A query's run as the service makes it: its parameters, the tables it brings along in
// each of VOTable's encodings (written by astropy), its answer in each format with
// MAXREC's cut, and the bounds it cannot cross (other tables, time, an abort).
#include "tap_fixture.h"

#include "tap/multipart.h"

#include <atomic>
#include <fstream>
#include <sstream>

using tap_service_test = tap_fixture;

static std::string data_file(const char* name) {
    std::ifstream in(std::string(TAP_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(tap_service_test, UploadsReadAlikeInEveryEncoding) {
    load("10$00$00$+10$00$00$0.5$ a $r$\n");
    const std::string expected = "k,ra,f,name,flag,s\r\n"
                                 "1,10.5,0.5,plain,1,-7\r\n"
                                 ",200.25,,\"A&B <x> \"\"q\"\"\",0,0\r\n"
                                 "3,359.999999,-2.25,caf\xc3\xa9,1,32767\r\n";
    for (const char* name : {"upload_tabledata.vot", "upload_binary.vot", "upload_binary2.vot"}) {
        std::string answer;
        tap_outcome outcome = run("SELECT * FROM TAP_UPLOAD.t", answer, tap_csv, 100,
                                  {{"f", true, data_file(name)}}, {{"t", "f"}});
        EXPECT_EQ(outcome.result, tap_completed) << name << ": " << outcome.message;
        EXPECT_EQ(answer, expected) << name;
    }
}

TEST_F(tap_service_test, UploadsThatCannotBeReadAreRefusedSayingWhy) {
    load("10$00$00$+10$00$00$0.5$ a $r$\n");
    const std::string head = "<VOTABLE><RESOURCE><TABLE><FIELD name=\"n\" datatype=\"int\"/>";
    const struct {
        std::string document;
        const char* part; // the field UPLOAD names
        const char* said;
    } cases[] = {
        {head + "<DATA><TABLEDATA><TR><TD>1</TD></TR></TABLEDATA></DATA></TABLE></RESOURCE>"
                "</VOTABLE>",
         "other", "UPLOAD names param:other, but the request has no field of that name"},
        {"<VOTABLE><RESOURCE><TABLE>", "f", "not well-formed XML"},
        {"<VOTABLE></VOTABLE>", "f", "holds no VOTable TABLE"},
        {head + "<DATA><TABLEDATA><TR><TD>x1</TD></TR></TABLEDATA></DATA></TABLE></RESOURCE>"
                "</VOTABLE>",
         "f", "the cell \"x1\" is not a int (column n)"},
        {head + "<DATA><TABLEDATA><TR><TD>1</TD><TD>2</TD></TR></TABLEDATA></DATA></TABLE>"
                "</RESOURCE></VOTABLE>",
         "f", "more cells than it has FIELDs"},
        {head + "<DATA><BINARY><STREAM href=\"http://x/y\"/></BINARY></DATA></TABLE></RESOURCE>"
                "</VOTABLE>",
         "f", "lies outside the document"},
        {head + "<DATA><BINARY><STREAM encoding=\"base64\">AAAB</STREAM></BINARY></DATA>"
                "</TABLE></RESOURCE></VOTABLE>",
         "f", "ends inside a row"},
        {"<VOTABLE><RESOURCE><TABLE><FIELD name=\"n\" datatype=\"integer\"/></TABLE>"
         "</RESOURCE></VOTABLE>",
         "f", "has no datatype VOTable knows"},
        {head + std::string(2 << 20, ' ') + "</TABLE></RESOURCE></VOTABLE>", "f",
         "larger than this service takes: at most 1048576 bytes"},
    };
    for (const auto& c : cases) {
        std::string answer;
        tap_outcome outcome = run("SELECT * FROM TAP_UPLOAD.t", answer, tap_csv, 100,
                                  {{"f", true, c.document}}, {{"t", c.part}});
        EXPECT_EQ(outcome.result, tap_refused) << c.said;
        EXPECT_NE(outcome.message.find(c.said), std::string::npos) << outcome.message;
        EXPECT_EQ(answer, "");
    }
}

TEST_F(tap_service_test, AnswersInEachFormatCutAtMaxrec) {
    load("10$00$00$+10$00$00$0.5$ a \"1\" $r, & <s>$\n"
         "11$00$00$-10$30$00$1.5$ b $r$\n"
         "12$00$00$+20$00$00$2.5$ c $r$\n");
    const char* query = "SELECT entry, ra, dec, id, reference FROM galsift.cg2000 ORDER BY entry";
    std::string csv, tsv, votable;
    EXPECT_TRUE(run(query, csv, tap_csv, 2).overflow);
    EXPECT_EQ(csv, "entry,ra,dec,id,reference\r\n1,150,10,\"a \"\"1\"\"\",\"r, & <s>\"\r\n"
                   "2,165,-10.5,b,r\r\n");
    run(query, tsv, tap_tsv);
    EXPECT_EQ(tsv, "entry\tra\tdec\tid\treference\n1\t150\t10\ta \"1\"\tr, & <s>\n"
                   "2\t165\t-10.5\tb\tr\n3\t180\t20\tc\tr\n");

    // Overflow is told after MAXREC rows, and for MAXREC=0 (no rows); never below it.
    const struct {
        const char* query;
        long long maxrec;
        int rows;
        bool overflow;
    } cuts[] = {
        {query, 2, 2, true},
        {query, 3, 3, false},
        {query, 0, 0, true},
        {"SELECT TOP 2 entry FROM galsift.cg2000", 2, 2, false},
        {"SELECT TOP 3 entry FROM galsift.cg2000", 2, 2, true},
    };
    for (const auto& cut : cuts) {
        tap_outcome outcome = run(cut.query, votable, tap_votable, cut.maxrec);
        EXPECT_EQ(outcome.result, tap_completed);
        EXPECT_EQ(outcome.rows, cut.rows) << cut.query << " " << cut.maxrec;
        std::size_t rows = 0;
        for (std::size_t at = 0; (at = votable.find("<TR>", at)) != std::string::npos; at++)
            rows++;
        EXPECT_EQ(rows, static_cast<std::size_t>(cut.rows));
        EXPECT_EQ(votable.find("value=\"OVERFLOW\"") != std::string::npos, cut.overflow)
            << cut.query << " " << cut.maxrec;
    }
    // Positions refer to the catalogue's frame; a computed column to none.
    run("SELECT ra, dec * 2 AS twice FROM galsift.cg2000", votable, tap_votable);
    EXPECT_NE(votable.find("<COOSYS ID=\"fk5_j2000\" system=\"eq_FK5\" equinox=\"J2000\"/>"),
              std::string::npos);
    EXPECT_NE(votable.find("<FIELD name=\"ra\" datatype=\"double\" unit=\"deg\" "
                           "ucd=\"pos.eq.ra;meta.main\" ref=\"fk5_j2000\">"),
              std::string::npos);
    EXPECT_NE(votable.find("<FIELD name=\"twice\" datatype=\"double\"/>"), std::string::npos);
}

TEST_F(tap_service_test, QueriesReachOnlyThePublishedTablesWithinTheirTime) {
    std::string catalogue;
    for (int n = 0; n < 3000; n++)
        catalogue += std::to_string(n % 24) + "$00$00$+10$00$" + std::to_string(n % 60) +
                     "$0.5$ g" + std::to_string(n) + " $r$\n";
    load(catalogue);
    const char* refused[] = {
        "SELECT * FROM sqlite_master",
        "SELECT * FROM main.galsift_cg2000",
        "SELECT load_extension('x') FROM galsift.cg2000",
        "SELECT * FROM TAP_UPLOAD.other",
        "SELECT 1 FROM galsift.cg2000; DROP TABLE tap_schema_columns",
    };
    for (const char* query : refused) {
        std::string answer;
        EXPECT_EQ(run(query, answer).result, tap_refused) << query;
    }
    std::string answer;
    EXPECT_EQ(
        run("SELECT COUNT(*) FROM TAP_SCHEMA.columns WHERE table_name = 'galsift.cg1950'", answer)
            .result,
        tap_completed);
    EXPECT_EQ(answer, "count\r\n8\r\n");
    // The 1950 catalogue could not be read: a query of it says so.
    tap_outcome outcome = run("SELECT * FROM galsift.cg1950", answer);
    EXPECT_EQ(outcome.message, "the query cannot be run: CG1950.dat cannot be read now");

    // Nine million pairs, far more than a few milliseconds allow; or aborted at once.
    tap_run_input input;
    input.catalogues = catalogues;
    input.request.query = "SELECT COUNT(*) FROM galsift.cg2000 AS a, galsift.cg2000 AS b "
                          "WHERE a.z + b.z > 1";
    input.request.maxrec = 10;
    input.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    text_sink out;
    outcome = run_tap_query(input, out);
    EXPECT_EQ(outcome.result, tap_failed);
    EXPECT_EQ(outcome.message, "the query did not finish within its time limit");
    std::atomic<bool> abort(true);
    input.abort = &abort;
    input.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    outcome = run_tap_query(input, out);
    EXPECT_EQ(outcome.message, "the query was aborted");
    EXPECT_EQ(out.held, "");
}

TEST(tap_request, ParametersAreReadWhateverTheirCase) {
    tap_settings settings;
    settings.maxrec = 100;
    settings.maxrec_limit = 1000;
    const struct {
        const char* query;   // a query string
        const char* refusal; // "" when accepted
        long long maxrec;
        tap_format format;
        std::size_t uploads;
    } cases[] = {
        {"lang=ADQL&query=SELECT+1", "", 100, tap_votable, 0},
        {"LANG=adql-2.1&Query=x&MaxRec=7&responseformat=csv", "", 7, tap_csv, 0},
        {"LANG=ADQL-2.0&QUERY=x&MAXREC=5000&FORMAT=text/tab-separated-values", "", 1000, tap_tsv,
         0},
        {"LANG=ADQL&QUERY=x&RESPONSEFORMAT=application/x-votable%2Bxml;serialization=TABLEDATA", "",
         100, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&REQUEST=doQuery&UPLOAD=a,param:f;b,param:g&UPLOAD=c,param:h", "", 100,
         tap_votable, 3},
        {"QUERY=x", "LANG is missing", 0, tap_votable, 0},
        {"LANG=SQL&QUERY=x", "unknown query language", 0, tap_votable, 0},
        {"LANG=ADQL", "QUERY is missing", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&REQUEST=getCapabilities", "REQUEST must be doQuery", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&MAXREC=-1", "MAXREC must be a whole number", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&MAXREC=1e3", "MAXREC must be a whole number", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&RESPONSEFORMAT=fits", "RESPONSEFORMAT must be", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&UPLOAD=t,http://example.org/t.xml", "UPLOAD must be", 0, tap_votable,
         0},
        {"LANG=ADQL&QUERY=x&UPLOAD=2t,param:t", "must be an ADQL name", 0, tap_votable, 0},
        {"LANG=ADQL&QUERY=x&UPLOAD=t,param:a;T,param:b", "two uploaded tables are named T", 0,
         tap_votable, 0},
    };
    for (const auto& c : cases) {
        tap_parameters parameters;
        ASSERT_TRUE(add_form_pairs(c.query, parameters));
        tap_query_request request;
        std::string why;
        bool accepted = read_tap_request(parameters, settings, request, why);
        EXPECT_EQ(accepted, *c.refusal == 0) << c.query << ": " << why;
        if (!accepted) {
            EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
            continue;
        }
        EXPECT_EQ(request.maxrec, c.maxrec) << c.query;
        EXPECT_EQ(request.format, c.format) << c.query;
        EXPECT_EQ(request.uploads.size(), c.uploads) << c.query;
    }
}

TEST(tap_request, MultipartBodiesAreReadIntoTheirFields) {
    const std::string file = "--XyZ\r\nContent-Disposition: form-data; name=\"t\"; "
                             "filename=\"t.vot\"\r\nContent-Type: text/xml\r\n\r\n<a>\r\n--b</a>";
    const struct {
        std::string body;
        std::vector<form_part> parts; // empty: refused
    } cases[] = {
        {"--XyZ\r\nContent-Disposition: form-data; name=\"QUERY\"\r\n\r\nSELECT 1\r\n" + file +
             "\r\n--XyZ--\r\n",
         {{"QUERY", false, "SELECT 1"}, {"t", true, "<a>\r\n--b</a>"}}},
        {"preamble\r\n--XyZ\r\nContent-Disposition: form-data; name=LANG\r\n\r\nADQL\r\n--XyZ--",
         {{"LANG", false, "ADQL"}}},
        {"--XyZ\r\nContent-Disposition: form-data\r\n\r\nx\r\n--XyZ--", {}},
        {"--XyZ\r\nContent-Disposition: form-data; name=\"a\"\r\n\r\nx", {}},
        {"no boundary here", {}},
    };
    EXPECT_EQ(multipart_boundary("multipart/form-data; boundary=XyZ"), "XyZ");
    EXPECT_EQ(multipart_boundary("Multipart/Form-Data; charset=x; boundary=\"XyZ\""), "XyZ");
    EXPECT_EQ(multipart_boundary("application/x-www-form-urlencoded"), "");
    for (const auto& c : cases) {
        std::vector<form_part> parts;
        std::string why;
        bool read = read_multipart(c.body, "XyZ", parts, why);
        EXPECT_EQ(read, !c.parts.empty()) << c.body << ": " << why;
        ASSERT_EQ(parts.size(), read ? c.parts.size() : parts.size());
        for (std::size_t n = 0; read && n < parts.size(); n++) {
            EXPECT_EQ(parts[n].name, c.parts[n].name);
            EXPECT_EQ(parts[n].file, c.parts[n].file);
            EXPECT_EQ(parts[n].content, c.parts[n].content);
        }
    }
}
