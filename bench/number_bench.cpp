// Microbenchmarks of the two number paths every catalogue entry takes: the reader's "%lg"
// conversion (input_file::read_double) and the page's "%-W.Pg" and "%-W.Di" formatting.
// Rates are given in bytes and in values per second, so that a regression shows.
#include "catalogue/string.h"
#include "input/input_file.h"
#include "output/number_format.h"
#include "query/descriptor_shift.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// ---- Inputs ----

// A small deterministic generator (splitmix64), so every run reads the same text.
static std::uint64_t next_bits(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

static double uniform(std::uint64_t& state) {
    return static_cast<double>(next_bits(state) >> 11) * 0x1.0p-53;
}

// `count` numbers written with `format` (one double argument), separated by "$" and a
// line end every seven, as the numeric fields of a catalogue stand.
static std::string numbers_text(int count, const char* format, double scale) {
    std::uint64_t state = 42;
    std::string text;
    char number[64];
    for (int n = 0; n < count; n++) {
        std::snprintf(number, sizeof number, format, scale * uniform(state));
        text += number;
        text += n % 7 == 6 ? "\n" : "$";
    }
    return text;
}

// Catalogue entries of the usual shape, for the field-skipping benchmark.
static std::string entries_text(int count) {
    std::string text;
    for (int n = 0; n < count; n++)
        text += "17$20$32.81$+10$22$28.6$1.3061$ J172032.81+102228.6 $Hu & Ouchi 1993, "
                "MNRAS 503, 936$\n";
    return text;
}

// ---- Reading ----

// Opens `file` afresh on `text`, outside the timed part. Returns false, the benchmark
// marked as failed, when the copy cannot be allocated.
static bool reopen(benchmark::State& state, input_file& file, const std::string& text) {
    state.PauseTiming();
    file.close();
    bool opened = file.open_memory(text.data(), text.size());
    state.ResumeTiming();
    if (!opened)
        state.SkipWithError("no memory");
    return opened;
}

// Reads every number of `text` with read_double, skipping the "$" or line end after each.
static void read_numbers(benchmark::State& state, const std::string& text) {
    input_file file;
    std::int64_t values = 0;
    for (auto _ : state) {
        if (!reopen(state, file, text))
            return;
        double value = 0;
        while (file.read_double(value) == 1) {
            benchmark::DoNotOptimize(value);
            file.skip_char();
            values++;
        }
    }
    file.close();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.SetItemsProcessed(values);
}

// Numbers as catalogue fields hold them: two-digit integers, seconds, redshifts.
static void BM_read_double_catalogue(benchmark::State& state) {
    static const std::string text = numbers_text(70000, "%05.2f", 60.0);
    read_numbers(state, text);
}
BENCHMARK(BM_read_double_catalogue);

// Full-precision numbers (17 significant digits, exponents).
static void BM_read_double_long(benchmark::State& state) {
    static const std::string text = numbers_text(70000, "%.17g", 1e6);
    read_numbers(state, text);
}
BENCHMARK(BM_read_double_long);

// Whole entries: seven numbers, each followed by a skip to "$", then two text fields.
static void BM_read_entries(benchmark::State& state) {
    static const std::string text = entries_text(10000);
    input_file file;
    string identification, reference;
    std::int64_t entries = 0;
    for (auto _ : state) {
        if (!reopen(state, file, text))
            return;
        double value = 0;
        while (file.read_double(value) == 1) {
            descriptor_shift(file, '$');
            for (int field = 0; field < 6; field++) {
                file.read_double(value);
                descriptor_shift(file, '$');
            }
            identification.Read_string(file, '$');
            reference.Read_string(file, '$');
            file.skip_space();
            entries++;
        }
        benchmark::DoNotOptimize(reference.text[0]);
    }
    file.close();
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.SetItemsProcessed(entries);
}
BENCHMARK(BM_read_entries);

// ---- Formatting ----

// Values as the table shows them with "%-8.6g": seconds and redshifts.
static std::vector<double> table_values() {
    std::uint64_t state = 7;
    std::vector<double> values;
    for (int n = 0; n < 4096; n++) {
        double seconds = static_cast<double>(static_cast<int>(uniform(state) * 6000)) / 100;
        double redshift = static_cast<double>(static_cast<int>(uniform(state) * 70000)) / 1e4;
        values.push_back(seconds);
        values.push_back(redshift);
    }
    return values;
}

// "%-8.6g" of table values.
static void BM_format_general(benchmark::State& state) {
    static const std::vector<double> values = table_values();
    char out[number_room];
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (double value : values) {
            bytes += static_cast<std::int64_t>(format_general(out, value, 8, 6));
            benchmark::DoNotOptimize(out[0]);
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_format_general);

// "%-2.2i" of hours, minutes and degrees.
static void BM_format_signed(benchmark::State& state) {
    char out[number_room];
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (int value = -90; value < 90; value++) {
            bytes += static_cast<std::int64_t>(format_signed(out, value, 2, 2));
            benchmark::DoNotOptimize(out[0]);
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * 180);
}
BENCHMARK(BM_format_signed);
