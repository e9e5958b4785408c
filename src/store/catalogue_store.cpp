// Reading a row of the store back into the values the catalogue gave.
#include "store/catalogue_store.h"

#include "store/compact_number.h"

#include <cassert>
#include <cmath>

double catalogue_store::field(std::size_t row, int which) const {
    assert(row < size() && which >= 0 && which < fields_per_row);
    std::int32_t mantissa = mantissas[row * fields_per_row + static_cast<std::size_t>(which)];
    int scale = static_cast<int>((scales[row] >> (4 * which)) & 15);
    if (scale == no_scale)
        return unusual[static_cast<std::uint32_t>(mantissa)];
    return decimal_value(mantissa, scale);
}

catalogue_entry catalogue_store::entry(std::size_t row) const {
    catalogue_entry shown;
    shown.ascension.degrees = field(row, 0);
    shown.ascension.minutes = field(row, 1);
    shown.ascension.seconds = field(row, 2);
    shown.declination.degrees = field(row, 3);
    shown.declination.minutes = field(row, 4);
    shown.declination.seconds = field(row, 5);
    shown.declination.sign = scales[row] >> 31 ? -1 : 1;
    shown.redshift = field(row, 6);
    shown.identification = texts.c_str() + identification[row];
    shown.reference = texts.c_str() + reference[row];
    return shown;
}

double catalogue_store::ascension_value(std::size_t row) const {
    arc ascension;
    ascension.degrees = field(row, 0);
    ascension.minutes = field(row, 1);
    ascension.seconds = field(row, 2);
    return ascension.value();
}

double catalogue_store::declination_value(std::size_t row) const {
    arc declination;
    declination.degrees = field(row, 3);
    declination.minutes = field(row, 4);
    declination.seconds = field(row, 5);
    declination.sign = scales[row] >> 31 ? -1 : 1;
    return declination.value();
}

std::size_t catalogue_store::bytes() const {
    return mantissas.capacity() * sizeof(std::int32_t) + scales.capacity() * sizeof(std::uint32_t) +
           unusual.capacity() * sizeof(double) +
           (identification.capacity() + reference.capacity() + number.capacity() +
            zone_start.capacity()) *
               sizeof(std::uint32_t) +
           texts.capacity();
}

// floor((value + 90 degrees) / zone_height), kept inside the zones. The steps (an addition,
// a division by a positive constant, floor) never reverse the order of two values, so a
// declination between two bounds has its zone between theirs.
int zone_of(double value) {
    if (std::isnan(value))
        return -1;
    double zone = std::floor((value + 324000.0) / zone_height);
    if (zone < 0)
        return 0;
    if (zone > zone_count - 1)
        return zone_count - 1;
    return static_cast<int>(zone);
}
