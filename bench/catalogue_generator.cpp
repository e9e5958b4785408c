// catalogue_generator: writes a synthetic catalogue of N entries for the benchmarks.
//
// The same N always gives the same bytes. Positions are spread evenly over the sphere
// (right ascension even in hours, declination even in the sine), redshifts follow a
// gamma-like law with its mode near 0.5 and a tail to about 7, as in deep spectroscopic
// surveys; designations and references are drawn from the forms real catalogues use.
//
// Usage: catalogue_generator N [FILE]   (standard output without FILE)
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- Random numbers: splitmix64, the same sequence on every platform ----

static std::uint64_t state = 0x5eed2000c0ffee01ULL;

// The next 64 random bits.
static std::uint64_t next_bits() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// A uniform number in [0, 1).
static double uniform() {
    return static_cast<double>(next_bits() >> 11) * 0x1.0p-53;
}

// A uniform integer in [0, count).
static int pick(int count) {
    return static_cast<int>(uniform() * count);
}

// ---- Names ----

static const char* const surnames[] = {
    "Smith",      "Cowie",      "Steidel",  "Lilly",    "Le Fevre", "Cohen",       "Songaila",
    "Hu",         "Ellis",      "Vanzella", "Lehnert",  "Pettini",  "Shapley",     "Adelberger",
    "Giavalisco", "Dickinson",  "Stern",    "Spinrad",  "Dey",      "Bunker",      "Fontana",
    "Cimatti",    "Renzini",    "Kurk",     "Ono",      "Ouchi",    "Shimasaku",   "Taniguchi",
    "Kashikawa",  "Pentericci", "Maiolino", "Schaerer", "Bouwens",  "Illingworth", "Oesch",
    "Stark",      "Richard",    "Kneib",
};
static const char* const journals[] = {"ApJ", "ApJL", "AJ", "A&A", "MNRAS", "PASP", "Nature"};

// ---- One entry ----

// Sexagesimal parts of a non-negative angle in units (hours or degrees), seconds rounded
// to `decimals` places without ever showing 60.
struct sexagesimal {
    int whole, minutes;
    double seconds;
};

static sexagesimal split(double units, int decimals) {
    double scale = decimals == 2 ? 100.0 : 10.0;
    long long ticks = std::llround(units * 3600.0 * scale);
    sexagesimal s;
    s.whole = static_cast<int>(ticks / static_cast<long long>(3600 * scale));
    ticks -= static_cast<long long>(s.whole * 3600 * scale);
    s.minutes = static_cast<int>(ticks / static_cast<long long>(60 * scale));
    ticks -= static_cast<long long>(s.minutes * 60 * scale);
    s.seconds = static_cast<double>(ticks) / scale;
    return s;
}

// A designation of one of the forms real surveys give their galaxies.
static void make_name(char* out, std::size_t room, const sexagesimal& ra, char sign,
                      const sexagesimal& dec) {
    int form = pick(100);
    if (form < 40)
        std::snprintf(out, room, "J%02d%02d%05.2f%c%02d%02d%04.1f", ra.whole, ra.minutes,
                      ra.seconds, sign, dec.whole, dec.minutes, dec.seconds);
    else if (form < 55)
        std::snprintf(out, room, "SDSS J%02d%02d%05.2f%c%02d%02d%04.1f", ra.whole, ra.minutes,
                      ra.seconds, sign, dec.whole, dec.minutes, dec.seconds);
    else if (form < 65)
        std::snprintf(out, room, "CFRS %02d.%04d", pick(23), pick(10000));
    else if (form < 75)
        std::snprintf(out, room, "zCOSMOS %06d", pick(1000000));
    else if (form < 85)
        std::snprintf(out, room, "VVDS %09d", pick(1000000000));
    else if (form < 92)
        std::snprintf(out, room, "HDF %d-%d.%d", 1 + pick(4), pick(1000), pick(10));
    else
        std::snprintf(out, room, "Q%02d%02d%c%03d C%d", ra.whole, ra.minutes, sign,
                      dec.whole * 10 + dec.minutes / 6, 1 + pick(40));
}

// A bibliographic reference: one, two or many authors, year, journal, volume, page.
static void make_reference(char* out, std::size_t room) {
    const int surname_count = sizeof surnames / sizeof surnames[0];
    const char* first = surnames[pick(surname_count)];
    const char* journal = journals[pick(sizeof journals / sizeof journals[0])];
    int year = 1985 + pick(36), volume = 100 + pick(800), page = 1 + pick(2000);
    int authors = pick(10);
    if (authors == 0)
        std::snprintf(out, room, "%s %d, %s %d, %d", first, year, journal, volume, page);
    else if (authors < 3)
        std::snprintf(out, room, "%s & %s %d, %s %d, %d", first, surnames[pick(surname_count)],
                      year, journal, volume, page);
    else
        std::snprintf(out, room, "%s et al. %d, %s %d, %d", first, year, journal, volume, page);
}

// Writes the next entry (its line end included) into `out`; returns its length.
static int make_entry(char* out, std::size_t room) {
    double hours = 24.0 * uniform();
    double declination = std::asin(2.0 * uniform() - 1.0) * (180.0 / 3.14159265358979323846);
    double redshift = 0.02 + 0.45 * (-std::log(1.0 - uniform()) - std::log(1.0 - uniform()));
    if (redshift > 7.2)
        redshift = 7.2 - uniform();
    sexagesimal ra = split(hours, 2);
    if (ra.whole == 24)
        ra = {0, 0, 0.0};
    char sign = declination < 0 ? '-' : '+';
    sexagesimal dec = split(std::fabs(declination), 1);
    char name[64], reference[96];
    make_name(name, sizeof name, ra, sign, dec);
    make_reference(reference, sizeof reference);
    int length = std::snprintf(out, room, "%02d$%02d$%05.2f$%c%02d$%02d$%04.1f$%.4f$ %s $%s$\n",
                               ra.whole, ra.minutes, ra.seconds, sign, dec.whole, dec.minutes,
                               dec.seconds, redshift, name, reference);
    return length;
}

// Writes the catalogue; returns 1 on a bad count or a failed write.
int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: catalogue_generator N [FILE]\n");
        return 1;
    }
    char* end = nullptr;
    long long count = std::strtoll(argv[1], &end, 10);
    if (*end || count < 0) {
        std::fprintf(stderr, "catalogue_generator: bad count %s\n", argv[1]);
        return 1;
    }
    std::FILE* file = argc == 3 ? std::fopen(argv[2], "wb") : stdout;
    if (!file) {
        std::perror(argv[2]);
        return 1;
    }
    static char block[1 << 20];
    std::size_t used = 0;
    for (long long n = 0; n < count; n++) {
        if (sizeof block - used < 512) {
            if (std::fwrite(block, 1, used, file) != used)
                return 1;
            used = 0;
        }
        used += static_cast<std::size_t>(make_entry(block + used, 512));
    }
    if (std::fwrite(block, 1, used, file) != used || std::fclose(file) != 0) {
        std::fprintf(stderr, "catalogue_generator: write failed\n");
        return 1;
    }
    return 0;
}
