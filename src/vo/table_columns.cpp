// The columns of the answers and downloads, and the text of each cell.
#include "vo/table_columns.h"

#include "catalogue/entry.h"
#include "output/number_format.h"
#include "vo/sky_position.h"
#include "vo/text_encoding.h"

#include <charconv>
#include <cmath>

const column selection_columns[7] = {
    {cell_ascension_text, "ra_hms", "pos.eq.ra", "h:m:s", "ra", "hms",
     "Right ascension as the results page writes it (seconds to 6 digits)"},
    {cell_declination_text, "dec_dms", "pos.eq.dec", "d:m:s", "dec", "dms",
     "Declination as the results page writes it (seconds to 6 digits)"},
    {cell_ascension, "ra", "pos.eq.ra;meta.main", "deg", "ra", "deg", "Right ascension"},
    {cell_declination, "dec", "pos.eq.dec;meta.main", "deg", "dec", "deg", "Declination"},
    {cell_redshift, "z", "src.redshift", nullptr, nullptr, nullptr, "Spectroscopic redshift"},
    {cell_identification, "identification", "meta.id;meta.main", nullptr, nullptr, nullptr,
     "Name of the galaxy"},
    {cell_reference, "reference", "meta.bib", nullptr, nullptr, nullptr,
     "Reference of the redshift"},
};

// The columns of a cone search's answer, most verbose first: the first three for VERB=1,
// six for VERB=2, all for VERB=3. The UCDs are the words cone search clients look for.
const column cone_columns[8] = {
    {cell_identification, "id", "ID_MAIN", nullptr, nullptr, nullptr, "Name of the galaxy"},
    {cell_ascension, "ra", "POS_EQ_RA_MAIN", "deg", "ra", "deg", "Right ascension (J2000)"},
    {cell_declination, "dec", "POS_EQ_DEC_MAIN", "deg", "dec", "deg", "Declination (J2000)"},
    {cell_redshift, "z", "src.redshift", nullptr, nullptr, nullptr, "Spectroscopic redshift"},
    {cell_reference, "reference", "meta.bib", nullptr, nullptr, nullptr,
     "Reference of the redshift"},
    {cell_distance, "distance", "pos.angDistance", "deg", nullptr, nullptr,
     "Distance from the centre of the cone"},
    {cell_ascension_text, "ra_hms", "pos.eq.ra", "h:m:s", "ra", "hms",
     "Right ascension as written in the catalogue (seconds to 6 digits)"},
    {cell_declination_text, "dec_dms", "pos.eq.dec", "d:m:s", "dec", "dms",
     "Declination as written in the catalogue (seconds to 6 digits)"},
};
// Whether a column holds text (VOTable char) rather than a double.
bool is_text(cell_kind kind) {
    return kind == cell_identification || kind == cell_reference || kind == cell_ascension_text ||
           kind == cell_declination_text;
}

// Whether a column holds a position, whose FIELD refers to the coordinate system.
bool is_position(cell_kind kind) {
    return kind == cell_ascension || kind == cell_declination || kind == cell_ascension_text ||
           kind == cell_declination_text;
}

// The shortest decimal text that reads back as `value`; "NaN", "+Inf" and "-Inf" as
// VOTable writes them.
std::string number_text(double value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "+Inf" : "-Inf";
    char out[32];
    std::to_chars_result end = std::to_chars(out, out + sizeof out, value);
    return std::string(out, end.ptr);
}

// An angle as a data row of the results page writes it, without the page's padding: "-"
// for a negative sign, whole hours (degrees) and minutes of two digits at least, each
// followed by ":", then the seconds "%.6g".
static std::string angle_text(const arc& angle) {
    char out[3 * number_room];
    std::size_t length = 0;
    if (angle.sign < 0)
        out[length++] = '-';
    length += format_signed(out + length, whole_part(angle.degrees), 0, 2);
    out[length++] = ':';
    length += format_signed(out + length, whole_part(angle.minutes), 0, 2);
    out[length++] = ':';
    length += format_general(out + length, angle.seconds, 0, 6);
    return std::string(out, length);
}

// A catalogue text without the spaces around it (catalogues pad their "$" fields), cleaned
// into UTF-8.
static std::string catalogue_text(const char* text) {
    std::string cleaned = utf8_cleaned(text);
    std::string::size_type first = cleaned.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return cleaned.substr(first, cleaned.find_last_not_of(' ') - first + 1);
}

// The text of one cell for `entry`; `distance` (degrees) serves only the distance column.
std::string cell_text(cell_kind kind, const catalogue_entry& entry, double distance) {
    switch (kind) {
    case cell_identification:
        return catalogue_text(entry.identification);
    case cell_reference:
        return catalogue_text(entry.reference);
    case cell_ascension:
        return number_text(position_of(entry).ascension);
    case cell_declination:
        return number_text(position_of(entry).declination);
    case cell_ascension_text:
        return angle_text(entry.ascension);
    case cell_declination_text:
        return angle_text(entry.declination);
    case cell_redshift:
        return number_text(entry.redshift);
    case cell_distance:
        return number_text(distance);
    }
    return std::string();
}
