// Reading the cells of an uploaded VOTable.
#include "tap/votable_cells.h"

#include "vo/table_columns.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Bytes of one element of `datatype`; 0 for bit, whose elements are bits.
std::size_t element_bytes(const std::string& datatype) {
    static const struct {
        const char* name;
        std::size_t bytes;
    } sizes[] = {{"boolean", 1}, {"bit", 0},    {"unsignedByte", 1}, {"short", 2},
                 {"int", 4},     {"long", 8},   {"char", 1},         {"unicodeChar", 2},
                 {"float", 4},   {"double", 8}, {"floatComplex", 8}, {"doubleComplex", 16}};
    for (const auto& size : sizes)
        if (datatype == size.name)
            return size.bytes;
    return 0;
}

bool is_integer_type(const std::string& datatype) {
    return datatype == "short" || datatype == "int" || datatype == "long" ||
           datatype == "unsignedByte";
}

bool is_text_type(const std::string& datatype) {
    return datatype == "char" || datatype == "unicodeChar";
}

// The number of elements of a fixed arraysize ("", "1", "12", "2x3"); -1 for a variable
// one ("*", "12*", "2x*").
long elements_of(const std::string& arraysize) {
    if (arraysize.empty())
        return 1;
    if (arraysize.find('*') != std::string::npos)
        return -1;
    long count = 1;
    const char* at = arraysize.c_str();
    while (*at) {
        char* end = nullptr;
        long dimension = std::strtol(at, &end, 10);
        if (end == at || dimension < 0)
            return -1;
        count *= dimension;
        at = *end == 'x' ? end + 1 : end;
        if (*end && *end != 'x')
            return -1;
    }
    return count;
}

std::string trimmed(const std::string& text) {
    const char* spaces = " \t\r\n";
    std::size_t first = text.find_first_not_of(spaces);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(spaces) - first + 1);
}

// A boolean's value: 1, 0, or -1 for null.
int boolean_value(const std::string& text) {
    if (text == "T" || text == "t" || text == "1" || text == "true" || text == "TRUE")
        return 1;
    if (text == "F" || text == "f" || text == "0" || text == "false" || text == "FALSE")
        return 0;
    return -1;
}

bool whole_number(const std::string& text, long long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    return errno == 0 && *end == 0;
}

bool real_number(const std::string& text, double& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == 0;
}

// Big-endian bytes as an unsigned number.
std::uint64_t big_endian(const unsigned char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    for (std::size_t n = 0; n < count; n++)
        value = value << 8 | bytes[n];
    return value;
}

// One element of a number type (no complex) at `bytes`, as an integer (`whole`) or a
// real.
void number_at(const std::string& datatype, const unsigned char* bytes, bool& whole,
               long long& integer, double& real) {
    std::uint64_t bits = big_endian(bytes, element_bytes(datatype));
    whole = true;
    if (datatype == "unsignedByte")
        integer = static_cast<long long>(bits);
    else if (datatype == "short")
        integer = static_cast<std::int16_t>(bits);
    else if (datatype == "int")
        integer = static_cast<std::int32_t>(bits);
    else if (datatype == "long")
        integer = static_cast<long long>(bits);
    else if (datatype == "float") {
        whole = false;
        std::uint32_t narrow = static_cast<std::uint32_t>(bits);
        float value;
        std::memcpy(&value, &narrow, sizeof value);
        real = value;
    } else {
        whole = false;
        std::memcpy(&real, &bits, sizeof real);
    }
}

// A code point as UTF-8.
void append_utf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

bool known_datatype(const std::string& datatype) {
    return datatype == "bit" || element_bytes(datatype) > 0;
}

bool is_scalar_value(const upload_field& field) {
    return !is_text_type(field.datatype) && field.datatype != "bit" &&
           field.datatype.find("Complex") == std::string::npos && elements_of(field.arraysize) == 1;
}

bool text_cell(const upload_field& field, const std::string& text, sql_cell& cell) {
    cell = sql_cell::nothing();
    if (is_text_type(field.datatype)) {
        if (!text.empty())
            cell = sql_cell::of(text);
        return true;
    }
    std::string value = trimmed(text);
    if (value.empty() || (!field.null_value.empty() && value == field.null_value))
        return true;
    if (!is_scalar_value(field)) {
        std::string spaced;
        for (std::size_t n = 0; n < value.size(); n++) {
            bool space = std::strchr(" \t\r\n", value[n]) != nullptr;
            if (!space)
                spaced += value[n];
            else if (spaced.back() != ' ')
                spaced += ' ';
        }
        cell = sql_cell::of(spaced);
        return true;
    }
    if (field.datatype == "boolean") {
        int truth = boolean_value(value);
        if (truth >= 0)
            cell = sql_cell::of(static_cast<long long>(truth));
        return truth >= 0 || value == "?";
    }
    long long whole;
    double real;
    if (is_integer_type(field.datatype)) {
        if (!whole_number(value, whole))
            return false;
        cell = sql_cell::of(whole);
        return true;
    }
    if (!real_number(value, real))
        return false;
    if (!std::isnan(real))
        cell = sql_cell::of(real);
    return true;
}

bool binary_cell(const upload_field& field, const unsigned char*& at, const unsigned char* end,
                 sql_cell& cell) {
    cell = sql_cell::nothing();
    long count = elements_of(field.arraysize);
    if (count < 0) {
        if (end - at < 4)
            return false;
        count = static_cast<long>(big_endian(at, 4));
        at += 4;
    }
    std::size_t size = element_bytes(field.datatype);
    std::size_t bytes = field.datatype == "bit" ? (static_cast<std::size_t>(count) + 7) / 8
                                                : size * static_cast<std::size_t>(count);
    if (count < 0 || static_cast<std::size_t>(end - at) < bytes)
        return false;
    const unsigned char* first = at;
    at += bytes;
    std::string text;
    if (field.datatype == "char") {
        text.assign(reinterpret_cast<const char*>(first), bytes);
        text = text.substr(0, text.find('\0'));
        cell = sql_cell::of(text);
    } else if (field.datatype == "unicodeChar") {
        for (std::size_t n = 0; n + 1 < bytes; n += 2) {
            unsigned code = static_cast<unsigned>(big_endian(first + n, 2));
            if (code == 0)
                break;
            append_utf8(text, code);
        }
        cell = sql_cell::of(text);
    } else if (field.datatype == "bit") {
        // One bit alone fills its byte: any bit set counts, as astropy sets another one
        // than the first.
        if (count == 1)
            text = first[0] ? "1" : "0";
        for (long n = 0; count > 1 && n < count; n++)
            text += std::string(n ? " " : "") + ((first[n / 8] >> (7 - n % 8) & 1) ? "1" : "0");
        cell = sql_cell::of(text);
    } else if (field.datatype == "boolean") {
        for (long n = 0; n < count; n++) {
            int truth = boolean_value(std::string(1, static_cast<char>(first[n])));
            if (count == 1 && truth >= 0)
                cell = sql_cell::of(static_cast<long long>(truth));
            text += std::string(n ? " " : "") + (truth < 0 ? "?" : truth ? "T" : "F");
        }
        if (count != 1)
            cell = sql_cell::of(text);
    } else {
        std::size_t step = field.datatype.find("Complex") != std::string::npos ? size / 2 : size;
        std::string part = field.datatype == "floatComplex"    ? "float"
                           : field.datatype == "doubleComplex" ? "double"
                                                               : field.datatype;
        for (std::size_t n = 0; n < bytes; n += step) {
            bool whole;
            long long integer = 0;
            double real = 0;
            number_at(part, first + n, whole, integer, real);
            std::string shown = whole ? std::to_string(integer) : number_text(real);
            if (is_scalar_value(field)) {
                bool null = whole ? shown == field.null_value : std::isnan(real);
                if (!null)
                    cell = whole ? sql_cell::of(integer) : sql_cell::of(real);
                return true;
            }
            text += (n ? " " : "") + shown;
        }
        cell = sql_cell::of(text);
    }
    return true;
}

bool base64_decode(const std::string& text, std::string& bytes) {
    bytes.clear();
    unsigned value = 0;
    int bits = 0, padding = 0;
    for (char c : text) {
        int digit;
        if (c >= 'A' && c <= 'Z')
            digit = c - 'A';
        else if (c >= 'a' && c <= 'z')
            digit = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            digit = c - '0' + 52;
        else if (c == '+')
            digit = 62;
        else if (c == '/')
            digit = 63;
        else if (c == '=') {
            padding++;
            continue;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
            continue;
        else
            return false;
        if (padding)
            return false; // digits after the padding
        value = (value << 6 | static_cast<unsigned>(digit)) & 0xFFFFFF;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += static_cast<char>(value >> bits & 0xFF);
        }
    }
    return padding <= 2;
}
