// galsift-check's findings: each kind of defective catalogue, with the line it names, next
// to clean files that must give none; and the report's lines and exit status.
#include "tools/catalogue_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string entry = "10$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$\n";
const std::string other = "10$20$31.5$-05$30$00$0.5$ DEF 456 $Jones 1999$\n";

struct expected_note {
    std::size_t line;
    finding what;
    int field;
};

bool operator==(const check_note& a, const expected_note& b) {
    return a.line == b.line && a.what == b.what && a.field == b.field;
}

std::string describe(const std::vector<check_note>& notes) {
    std::string text;
    for (const check_note& n : notes)
        text += "{" + std::to_string(n.line) + ", " + std::to_string(static_cast<int>(n.what)) +
                ", " + std::to_string(n.field) + "} ";
    return text;
}

check_report check(const std::string& text) {
    check_report report;
    testing::internal::CaptureStdout(); // galsift's own stop-signal messages
    EXPECT_TRUE(check_catalogue(text.data(), text.size(), report));
    testing::internal::GetCapturedStdout();
    return report;
}

} // namespace

TEST(CatalogueCheck, FindingsAndTheirLines) {
    const std::string long_text(100, 'x'), full_text(99, 'x');
    struct {
        const char* what;
        std::string text;
        std::size_t entries, stop_line;
        std::vector<expected_note> notes;
    } cases[] = {
        // Clean files: nothing to say.
        {"two entries", entry + other, 2, 0, {}},
        {"CR LF line ends, blank lines, no final line end",
         "10$20$30.5$-05$30$00$2.345$ A $B$\r\n\r\n" + other.substr(0, other.size() - 1),
         2,
         0,
         {}},
        {"-00 degrees, limits just inside",
         "23$59$59.999$-00$59$59.99$0$ A $B$\n0$0$0$+90$00$00$7$A$B$\n",
         2,
         0,
         {}},
        {"a text of 99 bytes", "1$2$3$4$5$6$7$" + full_text + "$R$\n", 1, 0, {}},
        // Where reading stops.
        {"byte-order mark", "\xEF\xBB\xBF" + entry, 0, 1, {{1, finding::stop_byte_order_mark, 0}}},
        {"header line",
         "RA h$m$s$Dec d$m$s$z$name$reference$\n" + entry,
         0,
         1,
         {{1, finding::stop_header, 0}}},
        {"comment line",
         entry + "# galaxies south\n" + entry,
         1,
         2,
         {{2, finding::stop_comment, 0}}},
        {"first field not a number",
         entry + other + "  ten$20$30$+01$02$03$1$A$B$\n",
         2,
         3,
         {{3, finding::stop_not_a_number, 0}}},
        {"tenth field",
         entry + "1$2$3$4$5$6$7$A$B$ note$\n" + entry,
         2,
         2,
         {{2, finding::stop_tenth_field, 0}}},
        {"a \"$\" inside a name",
         entry + "1$2$3$4$5$6$7$ A$B $Ref$\n" + entry,
         2,
         2,
         {{2, finding::stop_tenth_field, 0}}},
        {"empty file", "", 0, 0, {{1, finding::no_entries, 0}}},
        // Fields galsift misreads.
        {"field not a number",
         entry + "10$m$30$+01$02$03$1$A$B$\n",
         2,
         0,
         {{2, finding::not_a_number, 2}}},
        {"text after a number",
         "10$2O$30.5s$-05$30$00$2.345 $A$B$\n",
         1,
         0,
         {{1, finding::text_after_number, 2}, {1, finding::text_after_number, 3}}},
        {"unterminated last entry",
         entry + "10$20$30.5$-05$30$00$2.345$ ABC $Smith",
         2,
         0,
         {{2, finding::unterminated, 9}}},
        {"file ends in a number field",
         entry + "\n10$20$30",
         2,
         0,
         {{3, finding::unterminated, 3}}},
        {"no \"$\" within 1001 bytes",
         "10" + std::string(1001, 'h') + "$20$30$1$2$3$4$A$B$\n",
         1,
         1,
         {{1, finding::stop_tenth_field, 0},
          {1, finding::stop_not_found, 1},
          {1, finding::not_a_number, 2}}},
        {"out of range",
         entry + "24$00$00$+00$00$00$1$A$B$\n"   // hours
                 "23$60$00$+00$00$00$1$A$B$\n"   // minutes of time
                 "23$59$60$+00$00$00$1$A$B$\n"   // 60 seconds
                 "10$20$30$+05$-1$00$1$A$B$\n"   // negative minutes of arc
                 "10$20$30$+05$00$60.0$1$A$B$\n" // 60 seconds of arc
                 "10$20$30$-90$00$00.1$1$A$B$\n" // past the pole
                 "10$20$30$+91$00$00$1$A$B$\n"   // past the pole
                 "10$20$30$+05$00$00$-0.001$A$B$\n"
                 "10$20$30$+05$00$00$nan$A$B$\n"
                 "inf$20$30$+05$00$00$1$A$B$\n",
         11,
         0,
         {{2, finding::out_of_range, 1},
          {3, finding::duplicate_position, 0}, // 23h 60m is 24h
          {3, finding::out_of_range, 2},
          {4, finding::duplicate_position, 0},
          {4, finding::out_of_range, 3},
          {5, finding::out_of_range, 5},
          {6, finding::out_of_range, 6},
          {7, finding::beyond_pole, 4},
          {8, finding::beyond_pole, 4},
          {9, finding::negative_redshift, 7},
          {10, finding::duplicate_position, 0},
          {10, finding::not_finite, 7},
          {11, finding::not_finite, 1}}},
        {"text over 99 bytes",
         entry + "1$2$3$4$5$6$7$A$" + long_text + "$\n",
         2,
         0,
         {{2, finding::text_cut, 9}}},
        // Places already taken: to the second of arc and by sign, "-00" degrees and "+00"
        // at 0 being one place; each repeat names the first entry there.
        {"duplicate positions",
         "1$2$3$+00$00$00$1$A$B$\n1$2$3.0$-00$00$00$-2$C$D$\n1$2$3$+00$00$01$1$A$B$\n"
         "1$2$3$-00$00$01$1$A$B$\n1$2$3$+00$00$00$3$E$F$\n",
         5,
         0,
         {{2, finding::duplicate_position, 0},
          {2, finding::negative_redshift, 7},
          {5, finding::duplicate_position, 0}}},
        // "$" counts that shift the fields that follow.
        {"a \"$\" missing",
         entry + "10$20$31$-05$30$00$2.345$ ABC Smith$\n" + entry,
         3,
         0,
         {{2, finding::runs_over_lines, 0},
          {3, finding::shares_line, 0},
          {3, finding::out_of_range, 3},
          {3, finding::not_a_number, 7},
          {3, finding::unterminated, 9}}},
        {"a \"$\" too many",
         "1$2$3$4$5$6$7$A$B$9$\n" + entry,
         2,
         2,
         {{1, finding::shares_line, 0},
          {1, finding::runs_over_lines, 0},
          {2, finding::stop_tenth_field, 0},
          {2, finding::out_of_range, 5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        check_report report = check(c.text);
        EXPECT_EQ(report.entries, c.entries);
        EXPECT_EQ(report.stop_line, c.stop_line);
        EXPECT_TRUE(report.notes.size() == c.notes.size() &&
                    std::equal(report.notes.begin(), report.notes.end(), c.notes.begin()))
            << describe(report.notes);
    }
}

TEST(CatalogueCheck, ReportAndExitStatus) {
    struct {
        std::string text;
        int status;
        std::string output;
    } cases[] = {
        {entry + other, 0, "CG.dat: 2 entries, read to the end (2 lines), findings: 0\n"},
        {entry + "1$2$3$4$5$6$-0.5$A$B$\n" + entry, 0,
         "CG.dat:2: warning: negative redshift: only a query whose minimal redshift is negative "
         "selects it\n"
         "CG.dat:3: warning: duplicate position: the entry of line 1 is at the same place\n"
         "CG.dat: 3 entries, read to the end (3 lines), findings: 0, warnings: 2\n"},
        {entry + "# end\n" + entry, 1,
         "CG.dat:2: reading stops here: a comment line; the rest is ignored\n"
         "CG.dat: 1 entries, reading stopped at line 2 of 3, findings: 1\n"},
        {"1$2$3$4$5$6$7$A$" + std::string(120, 'r') + "$\n1$2$3$4$5$6$-7$A$B", 1,
         "CG.dat:1: reference longer than 99 bytes: galsift keeps the first 99\n"
         "CG.dat:2: warning: negative redshift: only a query whose minimal redshift is negative "
         "selects it\n"
         "CG.dat:2: the file ends inside an entry, in its reference: a \"$\" is missing\n"
         "CG.dat: 2 entries, read to the end (2 lines), findings: 2, warnings: 1\n"},
    };
    for (const auto& c : cases) {
        check_report report = check(c.text);
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(write_report(report, "CG.dat", out), c.status);
        std::rewind(out);
        std::string written;
        int byte;
        while ((byte = std::fgetc(out)) != EOF)
            written += static_cast<char>(byte);
        std::fclose(out);
        EXPECT_EQ(written, c.output);
    }
}

// A site's two files are told apart only by their numbers of entries.
TEST(CatalogueCheck, PairOfEpochs) {
    check_report j2000 = check(entry + other), b1950 = check(entry + other);
    check_report cut = check(entry);
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(write_pair_report(j2000, b1950, "site", out));
    EXPECT_FALSE(write_pair_report(j2000, cut, "site", out));
    std::rewind(out);
    char line[200] = "";
    EXPECT_NE(std::fgets(line, sizeof line, out), nullptr);
    EXPECT_STREQ(line, "site: warning: CG2000.dat holds 2 entries, CG1950.dat 1: the two "
                       "epochs' files should hold the same galaxies\n");
    EXPECT_EQ(std::fgets(line, sizeof line, out), nullptr);
    std::fclose(out);
}
