// The catalogue reader: entries of nine "$"-ended fields into the record list behind
// DB_First, and the pass that moves the declination signs and counts the records.
#include "catalogue/record_list.h"
#include "flow/globals.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What one catalogue entry should become once its declination sign has been moved.
struct expected_record {
    double hours, minutes, seconds;
    int sign;
    double degrees, arcminutes, arcseconds, redshift;
    std::string identification, reference;
};

static const std::string example_entry = "10$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$";
static const expected_record example_record = {10, 20, 30.5,  -1,          5,
                                               30, 0,  2.345, " ABC 123 ", "Smith et al. 2001"};
static const std::string stop_lost = "file read message: stop_signal '$' lost\n";

// Repeats `text` `count` times.
static std::string times(int count, const std::string& text) {
    std::string all;
    for (int n = 0; n < count; n++)
        all += text;
    return all;
}

class record_list : public scratch_dir {
  protected:
    std::string output; // what the reader wrote on standard output

    // Reads `content` as the catalogue "CG2000.dat" from the start-up state and normalises
    // the list. Returns the reader's result.
    int load(const std::string& content) {
        reset_program_state();
        write_file("CG2000.dat", content);
        return read_catalogue("CG2000.dat");
    }
    // Runs the reader and the sign pass on `name`, keeping the output.
    int read_catalogue(const char* name) {
        testing::internal::CaptureStdout();
        int result = Read_record_list(name);
        EXPECT_EQ(Correct_record_list(), 0);
        output = testing::internal::GetCapturedStdout();
        return result;
    }
};

// Checks the list behind DB_First against `want`, in order, and the count.
static void expect_records(const std::vector<expected_record>& want) {
    EXPECT_EQ(DB_First.ascension.value(), 0) << "the head holds no entry";
    EXPECT_EQ(DB_First.identification.text[0], 0) << "the head holds no entry";
    std::size_t count = 0;
    for (const record* entry = DB_First.next; entry; entry = entry->next, count++) {
        if (count >= want.size())
            continue;
        const expected_record& w = want[count];
        SCOPED_TRACE("record " + std::to_string(count + 1));
        EXPECT_EQ(entry->ascension.degrees, w.hours);
        EXPECT_EQ(entry->ascension.minutes, w.minutes);
        EXPECT_EQ(entry->ascension.seconds, w.seconds);
        EXPECT_EQ(entry->ascension.sign, 1);
        EXPECT_EQ(entry->declination.sign, w.sign);
        EXPECT_EQ(entry->declination.degrees, w.degrees);
        EXPECT_EQ(entry->declination.minutes, w.arcminutes);
        EXPECT_EQ(entry->declination.seconds, w.arcseconds);
        EXPECT_EQ(entry->redshift, w.redshift);
        EXPECT_EQ(std::string(entry->identification.text), w.identification);
        EXPECT_EQ(std::string(entry->reference.text), w.reference);
        EXPECT_EQ(entry->next_selected, nullptr);
    }
    EXPECT_EQ(count, want.size());
    EXPECT_EQ(total_number, static_cast<int>(want.size()));
}

TEST_F(record_list, EntriesBecomeRecordsInFileOrder) {
    const std::string entry = "1$2$3$+04$05$06$0.5$";
    const expected_record other = {1, 2, 3, 1, 4, 5, 6, 0.5, "ID", "REF"};
    struct {
        const char* name;
        std::string content;
        std::vector<expected_record> records;
        std::string output;
    } cases[] = {
        {"example entry", example_entry + "\n", {example_record}, ""},
        {"no line end at the end", example_entry, {example_record}, ""},
        {"three entries",
         "1$2$3$+04$05$06$0.5$first$r1$\n" + example_entry + "\n23$59$59.9$+89$59$59$7$third$r3$\n",
         {{1, 2, 3, 1, 4, 5, 6, 0.5, "first", "r1"},
          example_record,
          {23, 59, 59.9, 1, 89, 59, 59, 7, "third", "r3"}},
         ""},
        {"CR LF line ends, blank lines, spaces",
         example_entry + "\r\n\r\n\n   " + entry + "ID$REF$\r\n",
         {example_record, other},
         ""},
        {"text between a number and its $",
         "10 h$20 m$30.5 s$-05 d$30'$00\"$2.345 z$ ABC 123 $Smith et al. 2001$\n",
         {example_record},
         ""},
        {"negative zero degrees keep their minus",
         "0$0$0$-00$30$00$0$a$b$\n0$0$0$+00$30$00$0$a$b$\n0$0$0$00$30$00$0$a$b$\n"
         "0$0$0$-0.0000005$30$00$0$a$b$\n",
         {{0, 0, 0, -1, 0, 30, 0, 0, "a", "b"},
          {0, 0, 0, 1, 0, 30, 0, 0, "a", "b"},
          {0, 0, 0, 1, 0, 30, 0, 0, "a", "b"},
          {0, 0, 0, -1, 0, 30, 0, 0, "a", "b"}},
         ""},
        {"a number that does not convert keeps its value",
         "1$2$x$+04$05$06$abc$ID$REF$\n",
         {{1, 2, 0, 1, 4, 5, 6, 0, "ID", "REF"}},
         ""},
        // The reference lacks its "$": it takes the line end and the next line's hours.
        {"missing $ runs into the next line",
         entry + "ID$REF1\n7$8$9$+10$11$12$1.5$ID2$REF2$\n",
         {{1, 2, 3, 1, 4, 5, 6, 0.5, "ID", "REF1\n7"}, {8, 9, 10, 1, 11, 12, 1.5, 0, "REF2", "\n"}},
         ""},
        {"text of 99 characters is kept whole",
         entry + std::string(99, 'i') + "$REF$\n",
         {{1, 2, 3, 1, 4, 5, 6, 0.5, std::string(99, 'i'), "REF"}},
         ""},
        {"text of 100 characters keeps 99",
         entry + std::string(100, 'i') + "$REF$\n",
         {{1, 2, 3, 1, 4, 5, 6, 0.5, std::string(99, 'i'), "REF"}},
         ""},
        {"texts of 150 characters keep 99, the fields stay in step",
         entry + std::string(150, 'i') + "$" + std::string(150, 'r') + "$\n" + example_entry,
         {{1, 2, 3, 1, 4, 5, 6, 0.5, std::string(99, 'i'), std::string(99, 'r')}, example_record},
         ""},
        {"end of file inside the reference", entry + "ID$REF", {other}, ""},
        {"end of file inside the identification",
         entry + "ID",
         {{1, 2, 3, 1, 4, 5, 6, 0.5, "ID", ""}},
         ""},
        {"end of file after the minutes",
         "1$2",
         {{1, 2, 0, 1, 0, 0, 0, 0, "", ""}},
         times(6, stop_lost)},
        {"reading ends at the first entry not starting with a number",
         example_entry + "\nx$1$2$+03$04$05$0.1$no$no$\n" + entry + "ID$REF$\n",
         {example_record},
         ""},
        {"a $ as the 1001st character after a number",
         "10" + std::string(1000, 'x') + example_entry.substr(2),
         {example_record},
         ""},
        // No "$" among the 1001 characters after the hours: the search stops there, the
        // minutes fail on that "$" and every later field reads one field early.
        {"no $ within 1001 characters after a number",
         "10" + std::string(1001, 'x') + example_entry.substr(2) + "\n",
         {{10, 0, 20, 1, 30.5, -5, 30, 0, "2.345", " ABC 123 "}},
         stop_lost},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(c.content), catalogue_read);
        EXPECT_EQ(output, c.output);
        expect_records(c.records);
    }
}

TEST_F(record_list, CatalogueWithoutEntriesGivesEmptyList) {
    const char* cases[] = {
        "",
        " \n\n\t\n",
        "x$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$\n",
        "$10$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$\n",
        "ABC 123$Smith et al. 2001$\n",
    };
    for (const char* content : cases) {
        SCOPED_TRACE(content);
        EXPECT_EQ(load(content), catalogue_read);
        EXPECT_EQ(output, "");
        EXPECT_EQ(DB_First.next, nullptr);
        expect_records({});
    }
}

TEST_F(record_list, CatalogueThatCannotBeOpened) {
    std::filesystem::create_directory("CG1950.dat");
    struct {
        const char* name;
        const char* message;
    } cases[] = {
        {"CG2000.dat", "error open file CG2000.dat\n"}, // missing
        {"CG1950.dat", "error open file CG1950.dat\n"}, // a directory
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset_program_state();
        EXPECT_EQ(read_catalogue(c.name), catalogue_unopened);
        EXPECT_EQ(output, c.message);
        EXPECT_EQ(DB_First.next, nullptr);
        expect_records({});
    }
}
