// The results table cut to a number of rows: up to the limit the page is the very page
// of an unlimited run; above it, the first rows, the counts unchanged, and the notice.
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "page/results_page.h"
#include "query/query_form.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using row_limit = scratch_dir;

// Runs the stages on a five-entry catalogue that the query selects whole, with the table
// limited to `limit` rows, and returns the page.
static std::string page_with_limit(int limit, const char* notice) {
    reset_program_state();
    table_row_limit = limit;
    cut_notice = notice;
    testing::internal::CaptureStdout();
    EXPECT_EQ(init_query_parameters(), 1);
    EXPECT_EQ(Read_record_list("CG2000.dat"), catalogue_read);
    Correct_record_list();
    result_list_generator();
    EXPECT_EQ(Query_Result_generator(), 0);
    testing::internal::GetCapturedStdout();
    std::ifstream in(page_name); // text mode: line ends read as "\n" everywhere
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Where the `n`th "</tr>\n" of `page` ends (the header row's is the first).
static std::size_t end_of_row(const std::string& page, int n) {
    std::size_t at = 0;
    for (int k = 0; k < n; k++)
        at = page.find("</tr>\n", at) + 6;
    return at;
}

TEST_F(row_limit, FirstRowsAndNoticeAboveTheLimit) {
    write_file("query.frm", "Epoch=2000\nMinimal ascension= 00:00:00\n"
                            "Maximal ascension= 24:00:00\nMinimal declination=-90:00:00\n"
                            "Maximal declination=+90:00:00\nMinimal redshift= 0\n"
                            "Maximal redshift= 10\n");
    write_file("CG2000.dat",
               "01$00$00$+10$00$00$0.1$ one $r1$\n02$00$00$-10$00$00$0.2$ two $r2$\n"
               "03$00$00$+20$00$00$0.3$ three $r3$\n04$00$00$-20$00$00$0.4$ four $r4$\n"
               "05$00$00$+30$00$00$0.5$ five $r5$\n");
    const char notice[] = "<p>cut</p>\n";
    const std::string whole = page_with_limit(0, notice);
    ASSERT_NE(whole.find(" five "), std::string::npos);
    EXPECT_EQ(page_with_limit(5, notice), whole);
    EXPECT_EQ(page_with_limit(6, notice), whole);

    for (int limit : {1, 2, 4}) {
        SCOPED_TRACE(limit);
        std::string expected = whole;
        std::size_t rows_end = end_of_row(whole, limit + 1);
        expected.erase(rows_end, whole.find("</table>\n", rows_end) - rows_end);
        expected.insert(whole.find("<hr><table"), notice);
        EXPECT_EQ(page_with_limit(limit, notice), expected);
    }
    // Without a notice the table is still cut, and nothing is added.
    std::string bare = whole;
    bare.erase(end_of_row(whole, 2), whole.find("</table>\n") - end_of_row(whole, 2));
    EXPECT_EQ(page_with_limit(1, nullptr), bare);
}
