// The results page: heading, summary of the query, counts or notice, table, footer.
#include "page/results_page.h"

#include "flow/globals.h"
#include "flow/messages.h"
#include "output/number_format.h"
#include "output/page_backup.h"
#include "output/page_writer.h"
#include "output/replace_file.h"
#include "page/angle_head.h"
#include "page/publisher.h"
#include "page/results_table.h"
#include "page/style.h"
#include "query/query_bounds.h"

#include <cassert>
#include <cstdio>

// Writes an angle as the summary shows it: its head, then the seconds truncated, of at
// least two digits.
static void put_angle(page_writer& page, const arc& angle) {
    put_angle_head(page, angle);
    page.put_signed(whole_part(angle.seconds), 2, 2);
}

// The head, the catalogue heading (the system's own unless the publisher gives a title),
// the authors (the first opens their line, the last closes it, commas between), the
// institution and the links.
static void put_heading(page_writer& page, const publisher_texts& publisher) {
    assert(publisher.author_count >= 1);
    page.put("<html>\n<head>\n<title>Query Results</title>\n</head>\n<body>\n");
    page.put("<font color=\"#008080\">");
    if (publisher.title) {
        page.put("<h2>");
        page.put(publisher.title);
        page.put("<br></h2>\n");
    } else {
        page.put("<h2>KELMOS: Spectroscopic redshift catalogue of distant galaxies<br></h2>\n");
    }
    page.put("</font>");
    std::size_t last = publisher.author_count - 1;
    for (std::size_t n = 0; n <= last; n++) {
        page.put(n == 0 ? "<h3><a href=\"mailto:" : "<a href=\"mailto:");
        page.put(publisher.authors[n].mail);
        page.put("\">");
        page.put(publisher.authors[n].name);
        page.put(n < last ? "</a>,\n" : "</a></h3>\n");
    }
    page.put("<font color=\"#008080\"><h3>");
    page.put(publisher.institution);
    page.put("<br></h3>\n</font>\n");
    page.put("<br><ul><li><a href=\"introduction.htm\"><b>Introduction</b></a>\n");
    page.put("<li><a href=\"references.htm\"><b>References</b></a>\n</ul><br>\n");
}

// The summary of the query: epoch and the three intervals.
static void put_summary(page_writer& page, const query_bounds& query) {
    page.put("<font color=\"#008080\"><h4>Query parameters:<br>Coordinates at the epoch ");
    page.put_signed(query.epoch, 5, 1);
    page.put(" <br>\nAscension interval: ");
    put_angle(page, query.minimal_ascension);
    page.put("\n<= &#945; <=");
    put_angle(page, query.maximal_ascension);
    page.put("&nbsp;&nbsp;&nbsp;&nbsp;\nDeclination interval: ");
    put_angle(page, query.minimal_declination);
    page.put("\n<= &#948; <=");
    put_angle(page, query.maximal_declination);
    page.put("&nbsp;&nbsp;&nbsp;&nbsp;\nRedshift interval: ");
    page.put_general(query.min_redshift, 6, 4);
    page.put("<= z <=");
    page.put_general(query.max_redshift, 6, 4);
    page.put("</h4></font>\n");
}

// The counts and the table, or the notice that nothing matched. A table cut short by
// table_row_limit is announced by cut_notice, between the counts and the table.
static void put_answer(page_writer& page, results_answer& answer) {
    if (answer.number_of_selected == 0) {
        page.put("<h3><br>There is no record corresponding to these parameters</h3>\n");
        return;
    }
    page.put("<font color=\"#008080\"><h4><br>There are ");
    page.put_signed(answer.number_of_selected, 5, 1);
    page.put(" records corresponding to these parameters.\n");
    page.put("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\nTotal number of records is ");
    page.put_signed(answer.total_number, 5, 1);
    page.put(".</h4></font>\n");
    if (answer.table_row_limit > 0 && answer.number_of_selected > answer.table_row_limit &&
        answer.cut_notice)
        page.put(answer.cut_notice);
    page.put("<hr>");
    put_results_table(page, answer);
}

// The footer: ownership notice on the left, sponsor on the right.
static void put_footer(page_writer& page, const publisher_texts& publisher) {
    page.put("<hr><table width=\"100%\">\n<tr>\n<td align=\"left\">\n<font color=\"#008080\">\n");
    page.put("<h3>&#169; ");
    page.put(publisher.owner);
    page.put(" <br>\n ");
    page.put(publisher.place);
    page.put(", ");
    page.put(publisher.year);
    page.put("</h3></font></td>\n <td align=\"right\"><font color=\"#008080\">\n");
    page.put("<h3><a href=\"");
    page.put(publisher.sponsor_site);
    page.put("\">Supported by ");
    page.put(publisher.sponsor);
    page.put("</a></h3>\n</font>\n</td>\n</tr>\n</table></body>\n</html>\n");
}

bool write_results_page(page_writer& page, results_answer& answer) {
    put_heading(page, *answer.publisher);
    put_summary(page, *answer.query);
    put_answer(page, answer);
    put_footer(page, *answer.publisher);
    return page.finish();
}

// The console program's page: its query, style, catalogue and selection chain.
static bool write_page(page_writer& page) {
    query_bounds query = program_query();
    table_style style = program_style();
    const record* first = First_Selected;
    results_answer answer;
    answer.query = &query;
    answer.style = &style;
    answer.publisher = &built_in_publisher;
    answer.total_number = total_number;
    answer.number_of_selected = number_of_selected;
    answer.table_row_limit = table_row_limit;
    answer.cut_notice = cut_notice;
    answer.rows = chain_reader(&first);
    return write_results_page(page, answer);
}

// A new file of its own is created beside the page, under a name no file had, and moved
// over the page only once complete: a reader never sees half a page, a failure leaves the
// earlier page intact, runs at the same time in one directory each move a whole page, and
// no file that was there before is opened. Where nothing can be created beside it (a
// directory that is not writable), the page is written in place, every write still
// checked, with the earlier page's bytes held aside: a failure there puts them back. An
// earlier page that cannot be held whole is not written over at all.
int Query_Result_generator() {
    page_writer page;
    char new_page[new_file_name_size];
    if (page.start(create_new_file(new_page_prefix, new_page))) {
        bool written = write_page(page) && replace_file(new_page, page_name);
        if (written)
            return results_page_written;
        std::remove(new_page);
    } else {
        page_backup earlier;
        if (earlier.keep(page_name) && page.create(page_name)) {
            if (write_page(page))
                return results_page_written;
            earlier.put_back(page_name);
        }
    }
    say(messages::page_not_writable);
    return results_page_failed;
}
