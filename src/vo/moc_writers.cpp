// Writing a coverage map as MOC 2.0 FITS and ASCII.
#include "vo/moc_writers.h"

#include <cassert>
#include <cstdio>

// The order of the NUNIQ number `cell`: the n with 4 * 4^n <= cell < 16 * 4^n.
static int order_of(std::int64_t cell) {
    int order = 0;
    while (order < deepest_coverage_order && cell >= (std::int64_t{16} << (2 * order)))
        order++;
    return order;
}

// The ASCII form: each order that has cells, "order/" and its cells in ascending order,
// runs of consecutive cells as "first-last"; then "order/" for the map's order when its
// deepest cells are of a lower one (or when it has none).
std::string moc_ascii(const coverage_map& map) {
    std::string out;
    int deepest = -1;
    for (std::size_t n = 0; n < map.cells.size();) {
        int order = order_of(map.cells[n]);
        std::int64_t offset = std::int64_t{4} << (2 * order);
        std::int64_t first = map.cells[n] - offset, last = first;
        for (n++; n < map.cells.size() && map.cells[n] - offset == last + 1; n++)
            last++;
        out += (out.empty() ? "" : " ") +
               (order != deepest ? std::to_string(order) + "/" : std::string()) +
               std::to_string(first) + (last > first ? "-" + std::to_string(last) : "");
        deepest = order;
    }
    if (deepest < map.order)
        out += (out.empty() ? "" : " ") + std::to_string(map.order) + "/";
    return out;
}

// ---- FITS ----

static const std::size_t block = 2880; // bytes of a FITS block
static const std::size_t card = 80;    // bytes of a header card

// A header card: `keyword` and its `value` as FITS writes it (a string in quotes, the
// others right-aligned in the 20 columns after "= "), then an optional comment.
static std::string fits_card(const char* keyword, const std::string& value, bool text,
                             const char* comment) {
    char line[card + 1];
    std::string shown = value;
    if (text) {
        std::string quoted;
        for (char c : value)
            quoted += c == '\'' ? std::string("''") : std::string(1, c);
        while (quoted.size() < 8)
            quoted += ' ';
        shown = "'" + quoted + "'";
    }
    std::snprintf(line, sizeof line, text ? "%-8.8s= %-20s%s%s" : "%-8.8s= %20s%s%s", keyword,
                  shown.c_str(), comment ? " / " : "", comment ? comment : "");
    std::string out(line);
    out.resize(card, ' ');
    return out;
}

// `header`'s cards, then END, padded with spaces to whole blocks.
static std::string fits_header(const std::string& cards) {
    std::string out = cards + std::string("END").append(card - 3, ' ');
    out.resize((out.size() + block - 1) / block * block, ' ');
    return out;
}

// The FITS file: an empty primary header, then a binary table with one column, UNIQ, of
// 32-bit integers up to order 13 and 64-bit beyond, holding the cells in order; the MOC
// keywords (MOCVERS 2.0, MOCDIM SPACE, ORDERING NUNIQ, COORDSYS C, MOCORD_S, and MOCORDER
// for readers of MOC 1.1), MOCTOOL `tool`, MOCTYPE CATALOG and MOCID `identifier` when it
// is given and fits a card.
std::string moc_fits(const coverage_map& map, const std::string& identifier,
                     const std::string& tool) {
    bool wide = map.order > 13;
    std::size_t width = wide ? 8 : 4;
    std::string order = std::to_string(map.order);
    std::string out = fits_header(
        fits_card("SIMPLE", "T", false, nullptr) + fits_card("BITPIX", "8", false, nullptr) +
        fits_card("NAXIS", "0", false, nullptr) + fits_card("EXTEND", "T", false, nullptr));
    std::string cards =
        fits_card("XTENSION", "BINTABLE", true, "HEALPix Multi-Order Coverage map") +
        fits_card("BITPIX", "8", false, nullptr) + fits_card("NAXIS", "2", false, nullptr) +
        fits_card("NAXIS1", std::to_string(width), false, nullptr) +
        fits_card("NAXIS2", std::to_string(map.cells.size()), false, nullptr) +
        fits_card("PCOUNT", "0", false, nullptr) + fits_card("GCOUNT", "1", false, nullptr) +
        fits_card("TFIELDS", "1", false, nullptr) +
        fits_card("TTYPE1", "UNIQ", true, "HEALPix UNIQ cell number") +
        fits_card("TFORM1", wide ? "1K" : "1J", true, nullptr) +
        fits_card("MOCVERS", "2.0", true, "MOC version") +
        fits_card("MOCDIM", "SPACE", true, "Physical dimension") +
        fits_card("ORDERING", "NUNIQ", true, "NUNIQ coding method") +
        fits_card("COORDSYS", "C", true, "ICRS reference frame") +
        fits_card("MOCORD_S", order, false, "MOC resolution (best order)") +
        fits_card("MOCORDER", order, false, "MOC resolution (MOC 1.1)") +
        fits_card("MOCTOOL", tool, true, nullptr) +
        fits_card("MOCTYPE", "CATALOG", true, "Source type");
    if (!identifier.empty() && identifier.size() <= 60 &&
        identifier.find('\'') == std::string::npos)
        cards += fits_card("MOCID", identifier, true, nullptr);
    out += fits_header(cards);
    std::string data;
    data.reserve(map.cells.size() * width + block);
    for (std::int64_t cell : map.cells) {
        assert(cell >= 4);
        for (std::size_t byte = width; byte-- > 0;)
            data += static_cast<char>((static_cast<std::uint64_t>(cell) >> (8 * byte)) & 0xFF);
    }
    data.resize((data.size() + block - 1) / block * block, '\0');
    return out + data;
}
