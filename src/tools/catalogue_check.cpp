// Reading a catalogue as galsift reads it, and noting what it would get wrong.
#include "tools/catalogue_check.h"

#include "catalogue/record.h"
#include "input/input_file.h"
#include "query/descriptor_shift.h"

#include <algorithm>
#include <cassert>
#include <cmath>

// ---------------------------------------------------------------- the file's lines

namespace {

// The bytes being checked, and where their lines start.
struct source {
    const char* data;
    std::size_t size;
    std::vector<std::size_t> line_ends; // offset of every "\n"

    // The line (from 1) that holds the byte at `offset`.
    std::size_t line_of(std::size_t offset) const {
        auto ends = std::lower_bound(line_ends.begin(), line_ends.end(), offset);
        return static_cast<std::size_t>(ends - line_ends.begin()) + 1;
    }
    // The first byte at or after `offset` that is not white space, or `size`.
    std::size_t skip_space(std::size_t offset) const {
        while (offset < size && is_space(static_cast<unsigned char>(data[offset])))
            offset++;
        return offset;
    }
    // Whether only white space lies between the start of its line and `offset`.
    bool starts_line(std::size_t offset) const {
        while (offset > 0 && data[offset - 1] != '\n') {
            if (!is_space(static_cast<unsigned char>(data[offset - 1])))
                return false;
            offset--;
        }
        return true;
    }
    // Whether something other than white space lies in [from, to).
    bool has_text(std::size_t from, std::size_t to) const {
        for (; from < to; from++)
            if (!is_space(static_cast<unsigned char>(data[from])))
                return true;
        return false;
    }
};

// One entry being read: its fields' first lines, and whether the file ended inside it.
struct entry_state {
    record values;
    std::size_t field_line[10] = {}; // by field number, 1 to 9
    bool ended = false;              // the file ended before the ninth "$"
};

void note(check_report& report, std::size_t line, finding what, int field = 0) {
    report.notes.push_back({line, what, field});
}

// Skips to the "$" that ends numeric field `field`, whose number has been read (`got` is
// the conversion's count) from `from` up to the reader's position.
void end_number_field(input_file& file, const source& text, check_report& report,
                      entry_state& entry, int field, int got, std::size_t from) {
    std::size_t first = text.skip_space(from);
    entry.field_line[field] = text.line_of(first);
    std::size_t number_end = file.position();
    bool lost = descriptor_shift(file, '$') == stop_signal_lost;
    if (entry.ended)
        return;
    if (lost || got == input_ended) {
        bool at_end = got == input_ended || file.position() == text.size;
        note(report, entry.field_line[field],
             at_end ? finding::unterminated : finding::stop_not_found, field);
        entry.ended = at_end;
        return;
    }
    if (got != item_converted)
        note(report, entry.field_line[field], finding::not_a_number, field);
    else if (text.has_text(number_end, file.position() - 1))
        note(report, entry.field_line[field], finding::text_after_number, field);
}

// Reads numeric field `field` (2 to 7) into `value` and skips past its "$".
void number_field(input_file& file, const source& text, check_report& report, entry_state& entry,
                  int field, double& value) {
    std::size_t from = file.position();
    int got = file.read_double(value);
    end_number_field(file, text, report, entry, field, got, from);
}

// Reads text field `field` (8 or 9) into `value` through its "$".
void text_field(input_file& file, const source& text, check_report& report, entry_state& entry,
                int field, string& value) {
    std::size_t from = file.position();
    entry.field_line[field] = text.line_of(from);
    value.Read_string(file, '$');
    std::size_t after = file.position();
    bool found = after > from && text.data[after - 1] == '$';
    if (entry.ended)
        return;
    if (!found) {
        note(report, entry.field_line[field], finding::unterminated, field);
        entry.ended = true;
    } else if (after - from - 1 > string::size - 1) {
        note(report, entry.field_line[field], finding::text_cut, field);
    }
}

// The range of one field: `low` <= value < `high`.
void check_range(check_report& report, const entry_state& entry, int field, double value,
                 double low, double high) {
    if (!std::isfinite(value))
        note(report, entry.field_line[field], finding::not_finite, field);
    else if (value < low || value >= high)
        note(report, entry.field_line[field], finding::out_of_range, field);
}

// The values of a whole entry, as galsift holds them.
void check_values(check_report& report, const entry_state& entry) {
    const record& r = entry.values;
    check_range(report, entry, 1, r.ascension.degrees, 0, 24);
    check_range(report, entry, 2, r.ascension.minutes, 0, 60);
    check_range(report, entry, 3, r.ascension.seconds, 0, 60);
    check_range(report, entry, 5, r.declination.minutes, 0, 60);
    check_range(report, entry, 6, r.declination.seconds, 0, 60);
    double degrees = r.declination.degrees;
    if (!std::isfinite(degrees)) {
        note(report, entry.field_line[4], finding::not_finite, 4);
    } else {
        double arcseconds =
            std::fabs(degrees) * 3600 + r.declination.minutes * 60 + r.declination.seconds;
        if (arcseconds > 90 * 3600.0)
            note(report, entry.field_line[4], finding::beyond_pole, 4);
    }
    if (!std::isfinite(r.redshift))
        note(report, entry.field_line[7], finding::not_finite, 7);
    else if (r.redshift < 0)
        note(report, entry.field_line[7], finding::negative_redshift, 7);
}

// An entry's place on the sky as galsift compares it: seconds of time and signed seconds of
// arc ("-00" degrees is south), with the line where the entry starts.
struct sky_place {
    double ascension, declination;
    std::size_t line;
};

// Adds the place of `entry`, starting at `line`, to `places`, when all its fields are
// finite numbers.
void add_place(std::vector<sky_place>& places, const record& entry, std::size_t line) {
    const arc& ra = entry.ascension;
    const arc& dec = entry.declination;
    double arc_seconds = std::fabs(dec.degrees) * 3600 + dec.minutes * 60 + dec.seconds;
    sky_place place{ra.degrees * 3600 + ra.minutes * 60 + ra.seconds,
                    std::signbit(dec.degrees) ? -arc_seconds : arc_seconds, line};
    if (std::isfinite(place.ascension) && std::isfinite(place.declination))
        places.push_back(place);
}

// Notes every entry whose place an earlier entry already has, naming the first of them.
void note_duplicates(check_report& report, std::vector<sky_place>& places) {
    std::sort(places.begin(), places.end(), [](const sky_place& a, const sky_place& b) {
        if (a.ascension != b.ascension)
            return a.ascension < b.ascension;
        if (a.declination != b.declination)
            return a.declination < b.declination;
        return a.line < b.line;
    });
    for (std::size_t n = 1, first = 0; n < places.size(); n++) {
        if (places[n].ascension != places[first].ascension ||
            places[n].declination != places[first].declination) {
            first = n;
            continue;
        }
        report.notes.push_back(
            {places[n].line, finding::duplicate_position, 0, places[first].line});
    }
}

// Why an entry cannot start at `at`, where the first field failed to convert.
finding stop_reason(const source& text, std::size_t at, std::size_t entries) {
    static const char mark[] = "\xEF\xBB\xBF";
    if (text.size - at >= 3 && std::equal(mark, mark + 3, text.data + at))
        return finding::stop_byte_order_mark;
    if (!text.starts_line(at))
        return finding::stop_tenth_field;
    char first = text.data[at];
    if (first == '#' || first == '%' || first == ';' || first == '!' || first == '/')
        return finding::stop_comment;
    if (entries == 0)
        return finding::stop_header;
    return finding::stop_not_a_number;
}

} // namespace

// ---------------------------------------------------------------- the reading

// The loop is galsift's own: a first field read as a number decides whether an entry
// follows; then the rest of the entry exactly as the catalogue stage reads it.
bool check_catalogue(const char* data, std::size_t size, check_report& report) {
    source text{data, size, {}};
    for (std::size_t at = 0; at < size; at++)
        if (data[at] == '\n')
            text.line_ends.push_back(at);
    report = check_report();
    report.lines = text.line_ends.size() + (size > 0 && data[size - 1] != '\n' ? 1 : 0);

    input_file file;
    if (!file.open_memory(data, size))
        return false;
    std::vector<sky_place> places;
    double hours;
    for (;;) {
        std::size_t from = file.position();
        int got = file.read_double(hours);
        if (got != item_converted) {
            std::size_t at = text.skip_space(from);
            if (got == item_unmatched) {
                report.stop_line = text.line_of(at);
                note(report, report.stop_line, stop_reason(text, at, report.entries));
            }
            break;
        }
        report.entries++;
        entry_state entry;
        entry.values.ascension.degrees = hours;
        std::size_t start = text.skip_space(from);
        if (!text.starts_line(start))
            note(report, text.line_of(start), finding::shares_line);
        end_number_field(file, text, report, entry, 1, got, from);
        number_field(file, text, report, entry, 2, entry.values.ascension.minutes);
        number_field(file, text, report, entry, 3, entry.values.ascension.seconds);
        number_field(file, text, report, entry, 4, entry.values.declination.degrees);
        number_field(file, text, report, entry, 5, entry.values.declination.minutes);
        number_field(file, text, report, entry, 6, entry.values.declination.seconds);
        number_field(file, text, report, entry, 7, entry.values.redshift);
        text_field(file, text, report, entry, 8, entry.values.identification);
        text_field(file, text, report, entry, 9, entry.values.reference);
        check_values(report, entry); // fields the file did not reach hold 0
        if (!entry.ended) {
            add_place(places, entry.values, text.line_of(start));
            std::size_t last = file.position() - 1; // the ninth "$"
            assert(text.data[last] == '$');
            if (text.line_of(last) != text.line_of(start))
                note(report, text.line_of(start), finding::runs_over_lines);
        }
        file.skip_space();
    }
    file.close();
    note_duplicates(report, places);
    if (report.entries == 0 && report.notes.empty())
        note(report, 1, finding::no_entries);
    // The report goes by line, and on a line by field, the entry's own findings first.
    std::stable_sort(report.notes.begin(), report.notes.end(),
                     [](const check_note& a, const check_note& b) {
                         return a.line != b.line ? a.line < b.line : a.field < b.field;
                     });
    return true;
}

// ---------------------------------------------------------------- the report

namespace {

// The fields by number, as the findings name them.
const char* const field_names[10] = {
    "the entry",
    "hours of right ascension",
    "minutes of right ascension",
    "seconds of right ascension",
    "degrees of declination",
    "minutes of declination",
    "seconds of declination",
    "redshift",
    "identification",
    "reference",
};

// The text of each finding, in the order of `finding`; "%s" is the field's name.
const char* const finding_texts[] = {
    "reading stops here: a byte-order mark (save the file without it); the rest is ignored",
    "reading stops here: a comment line; the rest is ignored",
    "reading stops here: the first line is not an entry (a header?); the file reads as empty",
    "reading stops here: a tenth field after the ninth \"$\"; the rest is ignored",
    "reading stops here: the first field is not a number; the rest is ignored",
    "the file ends inside an entry, in its %s: a \"$\" is missing",
    "%s: no \"$\" within 1001 characters; the fields after it shift",
    "%s is not a number: galsift takes 0",
    "%s: text between the number and its \"$\" is ignored",
    "the entry runs on to the next line: a \"$\" is missing, its fields shift",
    "an entry starts after the ninth \"$\" of the line: a \"$\" too many, fields shift",
    "%s longer than 99 bytes: galsift keeps the first 99",
    "declination beyond 90 degrees",
    "%s is not a finite number",
    "%s out of range",
    "negative redshift: only a query whose minimal redshift is negative selects it",
    "duplicate position: the entry of line %zu is at the same place",
    "no entries",
};
static_assert(sizeof finding_texts / sizeof finding_texts[0] ==
                  static_cast<std::size_t>(finding::no_entries) + 1,
              "one text per finding");

} // namespace

int write_report(const check_report& report, const char* name, std::FILE* out) {
    std::size_t errors = 0;
    for (const check_note& n : report.notes) {
        assert(n.field >= 0 && n.field <= 9);
        std::fprintf(out, "%s:%zu: %s", name, n.line, is_warning(n.what) ? "warning: " : "");
        const char* text = finding_texts[static_cast<int>(n.what)];
        if (n.what == finding::duplicate_position)
            std::fprintf(out, text, n.earlier_line);
        else
            std::fprintf(out, text, field_names[n.field]);
        std::fputc('\n', out);
        errors += !is_warning(n.what);
    }
    std::fprintf(out, "%s: %zu entries", name, report.entries);
    if (report.stop_line)
        std::fprintf(out, ", reading stopped at line %zu of %zu", report.stop_line, report.lines);
    else
        std::fprintf(out, ", read to the end (%zu lines)", report.lines);
    std::fprintf(out, ", findings: %zu", errors);
    if (errors < report.notes.size())
        std::fprintf(out, ", warnings: %zu", report.notes.size() - errors);
    std::fputc('\n', out);
    return errors ? 1 : 0;
}

bool write_pair_report(const check_report& j2000, const check_report& b1950, const char* folder,
                       std::FILE* out) {
    if (j2000.entries == b1950.entries)
        return true;
    std::fprintf(out,
                 "%s: warning: CG2000.dat holds %zu entries, CG1950.dat %zu: the two epochs' "
                 "files should hold the same galaxies\n",
                 folder, j2000.entries, b1950.entries);
    return false;
}
