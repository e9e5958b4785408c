// Reading a catalogue file into a store: the entries in catalogue order, then the index.
#include "store/store_load.h"

#include "catalogue/record.h"
#include "catalogue/record_list.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "store/compact_number.h"
#include "store/file_version.h"
#include "store/text_table.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

// Whether the last byte of the file `path` that is not white space is a "$", as after an
// entry's last field; also true for a file of white space alone. A file that cannot be
// read says nothing: true.
static bool ends_after_a_field(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return true;
    char tail[4096];
    bool whole = false;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        long from =
            size > static_cast<long>(sizeof tail) ? size - static_cast<long>(sizeof tail) : 0;
        if (size >= 0 && std::fseek(file, from, SEEK_SET) == 0) {
            std::size_t got = std::fread(tail, 1, static_cast<std::size_t>(size - from), file);
            while (got > 0 && is_space(tail[got - 1]))
                got--;
            whole = got == 0 || tail[got - 1] == '$';
        }
    }
    std::fclose(file);
    return whole;
}

// ---- Rows in catalogue order ----

// Appends `entry`, read and corrected, as the next row. Returns false when memory or the
// 32-bit offsets run out.
static bool append_entry(catalogue_store& store, text_table& texts, const record& entry) {
    const double fields[catalogue_store::fields_per_row] = {entry.ascension.degrees,
                                                            entry.ascension.minutes,
                                                            entry.ascension.seconds,
                                                            entry.declination.degrees,
                                                            entry.declination.minutes,
                                                            entry.declination.seconds,
                                                            entry.redshift};
    std::uint32_t scales = entry.declination.sign < 0 ? 1u << 31 : 0;
    for (int n = 0; n < catalogue_store::fields_per_row; n++) {
        std::int32_t mantissa = 0;
        int scale = decimal_scale(fields[n], mantissa);
        if (scale == no_scale) {
            if (store.unusual.size() >= INT32_MAX)
                return false;
            mantissa = static_cast<std::int32_t>(store.unusual.size());
            store.unusual.push_back(fields[n]);
        }
        store.mantissas.push_back(mantissa);
        scales |= static_cast<std::uint32_t>(scale) << (4 * n);
    }
    std::uint32_t name, reference;
    if (!texts.add(entry.identification.text, name) || !texts.add(entry.reference.text, reference))
        return false;
    if (store.number.size() >= UINT32_MAX - 1)
        return false;
    store.scales.push_back(scales);
    store.identification.push_back(name);
    store.reference.push_back(reference);
    store.number.push_back(static_cast<std::uint32_t>(store.number.size()));
    return true;
}

// Counts the lines from where `file` stands to its end, a last line without its line end
// included.
static std::size_t lines_left(input_file& file) {
    std::size_t lines = 0;
    char none[1];
    std::size_t copied;
    while (file.peek(0) != EOF) {
        file.consume_through('\n', SIZE_MAX, none, 0, copied);
        lines++;
    }
    return lines;
}

// ---- The index ----

// The zone of a row, or -1 for a row the index cannot place: a NaN declination, or a right
// ascension that is NaN or outside 0h..24h (no box can hold it, and a cone must look at it
// as the sky wraps).
static int index_zone(const catalogue_store& store, std::size_t row) {
    double ascension = store.ascension_value(row);
    if (!(ascension >= 0 && ascension <= 86400))
        return -1;
    return zone_of(store.declination_value(row));
}

// Puts `column` (per_row values a row) in the order of `order`.
template <class value>
static void reorder(std::vector<value>& column, const std::vector<std::uint32_t>& order,
                    std::size_t per_row) {
    std::vector<value> ordered;
    ordered.reserve(column.size());
    for (std::uint32_t row : order)
        for (std::size_t n = 0; n < per_row; n++)
            ordered.push_back(column[row * per_row + n]);
    column.swap(ordered);
}

// Orders the rows by zone, by right ascension inside a zone, then by catalogue place, the
// rows the index cannot place last in catalogue order; fills zone_start.
static void build_index(catalogue_store& store) {
    std::size_t rows = store.size();
    std::vector<int> zone(rows);
    std::vector<std::uint32_t> start(zone_count + 2, 0);
    for (std::size_t row = 0; row < rows; row++) {
        zone[row] = index_zone(store, row);
        start[static_cast<std::size_t>(zone[row] < 0 ? zone_count : zone[row]) + 1]++;
    }
    for (int z = 0; z <= zone_count; z++)
        start[static_cast<std::size_t>(z) + 1] += start[static_cast<std::size_t>(z)];
    std::vector<std::uint32_t> order(rows);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t row = 0; row < rows; row++) // catalogue order inside each zone
        order[next[static_cast<std::size_t>(zone[row] < 0 ? zone_count : zone[row])]++] =
            static_cast<std::uint32_t>(row);
    std::vector<int>().swap(zone);

    std::vector<double> ascension(rows);
    for (std::size_t row = 0; row < rows; row++)
        ascension[row] = store.ascension_value(row);
    for (int z = 0; z < zone_count; z++) {
        auto first = order.begin() + start[static_cast<std::size_t>(z)];
        auto last = order.begin() + start[static_cast<std::size_t>(z) + 1];
        std::sort(first, last, [&](std::uint32_t a, std::uint32_t b) {
            return ascension[a] < ascension[b] || (ascension[a] == ascension[b] && a < b);
        });
    }
    std::vector<double>().swap(ascension);

    reorder(store.mantissas, order, catalogue_store::fields_per_row);
    reorder(store.scales, order, 1);
    reorder(store.identification, order, 1);
    reorder(store.reference, order, 1);
    reorder(store.number, order, 1);
    start.pop_back();
    store.zone_start.swap(start);
    assert(store.zone_start.size() == zone_count + 1 && store.odd_start() <= rows);
}

// ---- Loading ----

// Reads the entries of `file` (open) into `store`. Returns store_loaded, or
// store_no_memory.
static int read_entries(input_file& file, catalogue_store& store, store_load_report& report,
                        std::size_t file_bytes) {
    // A catalogue line is rarely shorter than 50 bytes, its texts rarely more than half of
    // it: room made once for that many saves growing the columns step by step (and costs
    // no memory where it is not used: pages untouched are not resident). The index puts
    // the columns in new vectors of their exact size.
    std::size_t expected = file_bytes / 50;
    store.mantissas.reserve(expected * catalogue_store::fields_per_row);
    store.scales.reserve(expected);
    store.identification.reserve(expected);
    store.reference.reserve(expected);
    store.number.reserve(expected);
    text_table texts;
    texts.expect(2 * expected, file_bytes / 2);
    record entry;
    double hours;
    while (file.read_double(hours) == item_converted) {
        entry.ascension = arc();   // as a new record: fields that do not convert stay 0
        entry.declination = arc(); // (the texts are always written whole)
        entry.redshift = 0;
        entry.ascension.degrees = hours;
        read_entry_rest(file, entry);
        entry.declination.corrector();
        if (!append_entry(store, texts, entry))
            return store_no_memory;
        if (report.progress && store.size() % progress_step == 0)
            report.progress(report.progress_to, store.size(), file.position(), file_bytes);
    }
    texts.drop_lookup();
    store.texts.swap(texts.texts);
    store.texts.shrink_to_fit();
    if (report.progress)
        report.progress(report.progress_to, store.size(), file.position(), file_bytes);
    return store_loaded;
}

static int load(const char* path, catalogue_store& store, store_load_report& report) {
    file_version before = version_of(path);
    input_file file;
    if (!file.open(path)) {
        say_with_name(messages::no_catalogue_file, path);
        return store_unopened;
    }
    int read = read_entries(file, store, report, static_cast<std::size_t>(before.size));
    if (read != store_loaded) {
        file.close();
        say_with_name(messages::no_memory, path);
        return read;
    }
    bool at_end = file.peek(0) == EOF;
    report.unread_lines = at_end ? 0 : lines_left(file);
    if (!file.close()) {
        say_with_name(messages::no_catalogue_file, path);
        return store_unopened;
    }
    report.entries = store.size();
    store.unusual.shrink_to_fit();
    build_index(store);

    if (!before.same(version_of(path)))
        return store_changed;
    if (report.unread_lines >= unread_lines_allowed &&
        report.unread_lines * 100 > report.unread_lines + report.entries)
        return store_stopped_short;
    if (at_end && report.entries > 0 && !ends_after_a_field(path))
        return store_cut;
    return store_loaded;
}

int load_store(const char* path, catalogue_store& store, store_load_report& report) {
    auto start = std::chrono::steady_clock::now();
    store = catalogue_store();
    report.entries = report.unread_lines = 0;
    int result;
    try {
        result = load(path, store, report);
    } catch (const std::bad_alloc&) {
        store = catalogue_store();
        say_with_name(messages::no_memory, path);
        result = store_no_memory;
    }
    if (result == store_unopened || result == store_no_memory)
        store = catalogue_store();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
