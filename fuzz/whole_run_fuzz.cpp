// Fuzz target: one whole run of the program.
//
// The input holds the three input files one after the other: the query form, then
// optionally a line "@@style@@" and the style file, then optionally a line
// "@@catalogue@@" and the catalogue (both epochs' catalogue names lead to it). A file
// whose part is absent does not exist. The run starts beside an earlier page and must:
// return 0; end its messages with one verdict; write a complete page exactly when the
// verdict says so and otherwise leave the earlier page as it was, with no temporary file
// behind; select exactly the records inside the query box, in catalogue order; and show
// on the page the counts and one table row per selected record, each with its texts.
#include "catalogue/record.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "fuzz_support.h"
#include "reference_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <unistd.h>
#include <vector>

// The program's main, renamed when built into this target.
int galsift_main();

static const char style_mark[] = "\n@@style@@\n";         // starts the style file
static const char catalogue_mark[] = "\n@@catalogue@@\n"; // starts the catalogue
static const char earlier_page[] = "an earlier page\n";   // left by an earlier run

// The four ways a run ends; the first one alone writes a page.
static const char* const verdicts[] = {messages::page_created, messages::page_not_created,
                                       messages::query_error, messages::invalid_epoch};

// Whether `text` ends with `tail`.
static bool ends_with(const std::string& text, const char* tail) {
    std::size_t length = std::strlen(tail);
    return text.size() >= length && text.compare(text.size() - length, length, tail) == 0;
}

// The names of the files a run's page is written to before it is moved over the page:
// "results.html." and six letters or digits. Removes them when `remove` is set.
static std::vector<std::string> new_pages_left(bool remove) {
    static const char prefix[] = "results.html.";
    std::vector<std::string> names;
    if (DIR* here = opendir(".")) {
        while (dirent* entry = readdir(here))
            if (std::strncmp(entry->d_name, prefix, sizeof prefix - 1) == 0)
                names.push_back(entry->d_name);
        closedir(here);
    }
    if (remove)
        for (const std::string& name : names)
            unlink(name.c_str());
    return names;
}

// Writes the three files of the input, or removes those whose part is absent.
static void lay_out_files(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t style_at = input.find(style_mark);
    // The catalogue's mark is looked for after the whole style mark: the two marks may
    // share a line end.
    std::size_t catalogue_at = input.find(
        catalogue_mark, style_at == std::string::npos ? 0 : style_at + std::strlen(style_mark));
    std::size_t query_end = std::min({style_at, catalogue_at, input.size()});
    auto bytes = [&](std::size_t from) {
        return reinterpret_cast<const std::uint8_t*>(input.data()) + from;
    };
    write_file("query.frm", bytes(0), query_end);
    if (style_at != std::string::npos) {
        std::size_t from = style_at + std::strlen(style_mark);
        std::size_t to = catalogue_at == std::string::npos ? input.size() : catalogue_at;
        write_file("style.var", bytes(from), to - from);
    } else {
        unlink("style.var");
    }
    if (catalogue_at != std::string::npos) {
        std::size_t from = catalogue_at + std::strlen(catalogue_mark);
        write_file("CG2000.dat", bytes(from), input.size() - from);
    } else {
        unlink("CG2000.dat");
    }
    new_pages_left(true);
    write_file("results.html", reinterpret_cast<const std::uint8_t*>(earlier_page),
               std::strlen(earlier_page));
}

// The signed angle in seconds: the two products and their sum, then the seconds, then
// the sign.
static double seconds_of(const arc& angle) {
    double whole = angle.degrees * 3600.0 + angle.minutes * 60.0;
    whole = whole + angle.seconds;
    return angle.sign * whole;
}

// Whether a record lies inside all three intervals of the query, bounds included.
static bool inside_box(const record& entry) {
    double declination = seconds_of(entry.declination);
    double ascension = seconds_of(entry.ascension);
    return seconds_of(minimal_declination) <= declination &&
           declination <= seconds_of(maximal_declination) &&
           seconds_of(minimal_ascension) <= ascension &&
           ascension <= seconds_of(maximal_ascension) && min_redshift <= entry.redshift &&
           entry.redshift <= max_redshift;
}

// Walks the page from `at`, expecting `text` there.
static void expect(const std::string& page, std::size_t& at, const std::string& text,
                   const char* where) {
    if (page.compare(at, text.size(), text) != 0)
        finding("page does not read as expected", std::string(where) + " at byte " +
                                                      std::to_string(at) + ": wanted \"" + text +
                                                      "\"");
    at += text.size();
}

// The word of an alignment character.
static std::string align_word(char align) {
    return align == 'l' ? "left" : align == 'c' ? "center" : align == 'r' ? "right" : "";
}

// Reads one number cell up to its end of line; it must be one line of printable text.
static std::string number_cell(const std::string& page, std::size_t& at) {
    std::size_t end = page.find('\n', at);
    if (end == std::string::npos || end == at || end - at > 40)
        finding("a number cell is malformed", std::to_string(at));
    std::string cell = page.substr(at, end - at);
    at = end;
    return cell;
}

// The integer the page shows for an angle field: truncated, saturated, NaN as 0.
static long long shown_whole(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return 2147483647LL;
    if (value <= -2147483648.0)
        return -2147483648LL;
    return static_cast<long long>(value);
}

// Whether a "%-8.6g" cell shows `value` to six significant digits.
static bool shows_general(const std::string& cell, double value) {
    std::string bare = cell.substr(0, cell.find_last_not_of(' ') + 1);
    if (std::isnan(value))
        return bare == (std::signbit(value) ? "-nan" : "nan");
    if (std::isinf(value))
        return bare == (value < 0 ? "-inf" : "inf");
    char* end = nullptr;
    double shown = std::strtod(bare.c_str(), &end);
    if (bare.empty() || *end)
        return false;
    return std::fabs(shown - value) <= 5e-6 * std::fabs(value) + 1e-300;
}

// Checks an angle cell: "-" for a negative sign, whole hours (degrees) and minutes of at
// least two digits, seconds to six significant digits.
static void check_angle_cell(const std::string& cell, const arc& angle) {
    std::string expected_head;
    if (angle.sign < 0)
        expected_head = "-";
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2lld:%.2lld:", shown_whole(angle.degrees),
                  shown_whole(angle.minutes));
    expected_head += digits;
    if (cell.compare(0, expected_head.size(), expected_head) != 0 ||
        !shows_general(cell.substr(expected_head.size()), angle.seconds))
        finding("an angle cell misreports its record", cell);
}

// Walks the results table: one row per record of the selection chain, in order, each
// showing that record; nothing else between the header row and "</table>".
static void check_table(const std::string& page, std::size_t at) {
    std::size_t header_end = page.find("</tr>\n", at);
    if (header_end == std::string::npos)
        finding("no header row", "");
    at = header_end + 6;
    std::string cell = "\"" + align_word(cell_align) + "\">\n";
    std::string cell_open = "  <td align=" + cell;
    std::string cell_next = "\n  </td>\n" + cell_open;
    int row = 0;
    for (const record* entry = First_Selected; entry; entry = entry->next_selected, row++) {
        expect(page, at, "<tr", "row start");
        if (color_interchange == 'y')
            expect(page, at, std::string(" bgcolor=\"") + (row % 2 ? "#c0c0c0" : "white") + "\"",
                   "row colour");
        expect(page, at, " align=" + cell + cell_open, "row align");
        check_angle_cell(number_cell(page, at), entry->ascension);
        expect(page, at, cell_next, "after right ascension");
        check_angle_cell(number_cell(page, at), entry->declination);
        expect(page, at, cell_next, "after declination");
        if (!shows_general(number_cell(page, at), entry->redshift))
            finding("a redshift cell misreports its record", std::to_string(row));
        expect(page, at, cell_next, "after redshift");
        expect(page, at, entry->identification.text, "identification");
        expect(page, at, cell_next, "after identification");
        expect(page, at, entry->reference.text, "reference");
        expect(page, at, "\n  </td>\n</tr>\n", "row end");
    }
    expect(page, at, "</table>\n<hr><table width=\"100%\">\n", "table end");
}

// Checks the selection against the list and the page against the selection.
static void check_page(const std::string& page) {
    if (page.compare(0, 7, "<html>\n") != 0 || !ends_with(page, "</html>\n"))
        finding("the page is incomplete", page.substr(0, 200));
    long long length = 0, selected = 0;
    const record* chained = First_Selected;
    for (const record* entry = DB_First.next; entry; entry = entry->next) {
        length++;
        if (!inside_box(*entry)) {
            if (entry == chained)
                finding("a record outside the query box was selected", std::to_string(length));
            continue;
        }
        if (entry != chained)
            finding("a record inside the query box was not selected", std::to_string(length));
        chained = chained->next_selected;
        selected++;
    }
    if (chained)
        finding("the selection chain runs past the list", "");
    if (length != total_number || selected != number_of_selected)
        finding("counts differ from the list",
                std::to_string(total_number) + " " + std::to_string(number_of_selected));
    if (number_of_selected == 0) {
        if (page.find("<h3><br>There is no record corresponding to these parameters</h3>\n") ==
            std::string::npos) // a page text, written once by the page writer
            finding("no notice on a page without records", "");
        return;
    }
    char counts[200];
    std::snprintf(counts, sizeof counts,
                  "<br>There are %-5.1i records corresponding to these parameters.\n"
                  "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\nTotal number of records is "
                  "%-5.1i.</h4></font>\n<hr>",
                  number_of_selected, total_number);
    std::size_t at = page.find(counts);
    if (at == std::string::npos)
        finding("the counts are not on the page", counts);
    check_table(page, at + std::strlen(counts));
}

// Once per process: the private directory, and the 1950 catalogue name as a link to the
// 2000 one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    enter_scratch_dir();
    if (symlink("CG2000.dat", "CG1950.dat") != 0)
        std::perror("CG1950.dat");
    leave_scratch_dir();
    return 0;
}

// One input: the three files laid out, one run of the program, every check.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enter_scratch_dir();
    reset_fuzz_state();
    lay_out_files(data, size);
    begin_capture();
    int status = galsift_main();
    std::string output = end_capture();

    if (status != 0)
        finding("exit status is not 0", std::to_string(status));
    int verdict = -1;
    for (int n = 0; n < 4; n++)
        if (ends_with(output, verdicts[n]))
            verdict = n;
    if (verdict < 0)
        finding("the run ended without a verdict",
                output.substr(output.size() > 300 ? output.size() - 300 : 0));
    bool found;
    std::string page = read_file("results.html", found);
    std::vector<std::string> left = new_pages_left(true);
    if (!left.empty())
        finding("a temporary page was left behind", left[0]);
    if (verdict != 0) {
        if (page != earlier_page)
            finding("the earlier page was changed by a run that wrote none", output);
        leave_scratch_dir();
        return 0;
    }
    const arc bounds[4] = {minimal_ascension, maximal_ascension, minimal_declination,
                           maximal_declination};
    const char signs[2] = {'+', '+'};
    const double redshifts[2] = {min_redshift, max_redshift};
    std::string problems;
    if (reference_check_query(bounds, signs, redshifts, problems) != 1)
        finding("a page was written for an invalid query", problems);
    check_page(page);
    leave_scratch_dir();
    return 0;
}
