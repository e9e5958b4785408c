// catalogue_store: one epoch's catalogue held for queries, read once by the program's own
// reader and kept in memory, compact and indexed by position.
//
// Every entry keeps the very values the console program compares and writes: the seven
// numbers as read (each held as a decimal mantissa and scale when that gives back the same
// double, bit for bit, else as the double itself), the declination's sign, and its two
// texts, each distinct text held once. Rows are ordered by the index: by declination zone,
// then by right ascension inside a zone; each row knows its entry's place in the
// catalogue, so that answers come back in catalogue order. Entries the index cannot place
// (a NaN field, a right ascension outside 0h..24h) follow the indexed rows and every query
// looks at them all.
//
// A store is built once and then only read: any number of threads may read it at once.
#ifndef GALSIFT_STORE_CATALOGUE_STORE_H
#define GALSIFT_STORE_CATALOGUE_STORE_H

#include "catalogue/entry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The declination zones of the index: bands of zone_height seconds of arc from -90 degrees;
// values beyond either pole fall in the band at that pole.
const double zone_height = 360; // 0.1 degree
const int zone_count = 1800;

struct catalogue_store {
    // ---- Columns, one value (or fields_per_row values) a row ----
    static const int fields_per_row = 7;       // hours, minutes, seconds of right ascension;
                                               // degrees, minutes, seconds of declination; z
    std::vector<std::int32_t> mantissas;       // a field's decimal mantissa, or an index into
                                               // `unusual`
    std::vector<std::uint32_t> scales;         // a row's seven 4-bit scales (field n in bits
                                               // 4n..4n+3: the field is mantissa / 10^scale, or
                                               // unusual[mantissa] for scale 15), the sign in
                                               // bit 31 (set: -1)
    std::vector<double> unusual;               // fields no mantissa gives back exactly
    std::vector<std::uint32_t> identification; // offset of the name in `texts`
    std::vector<std::uint32_t> reference;      // offset of the reference in `texts`
    std::vector<std::uint32_t> number;         // the entry's place in the catalogue, from 0
    std::string texts; // every distinct text once, each followed by a zero byte

    // ---- The index ----
    std::vector<std::uint32_t> zone_start =            // zone z holds
        std::vector<std::uint32_t>(zone_count + 1, 0); // rows [zone_start[z], zone_start[z+1]);
                                                       // zone_start[zone_count] is the first row
                                                       // beyond the index

    // Rows held: the entries of the catalogue.
    std::size_t size() const { return number.size(); }
    // The entry of `row`, its texts pointing into the store.
    catalogue_entry entry(std::size_t row) const;
    // One field of `row` (0 to 6, in the order of fields_per_row).
    double field(std::size_t row, int which) const;
    // arc::value() of the row's right ascension and declination.
    double ascension_value(std::size_t row) const;
    double declination_value(std::size_t row) const;
    // The first row the index does not place.
    std::uint32_t odd_start() const { return zone_start[zone_count]; }
    // Bytes of memory the store holds.
    std::size_t bytes() const;
};

// The zone of a declination of `value` seconds of arc (arc::value()): from 0 at -90 degrees
// to zone_count - 1 at +90, those beyond in the nearest. NaN has no zone: -1.
int zone_of(double value);

#endif
