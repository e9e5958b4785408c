// Cleaning catalogue texts into UTF-8, and escaping them for XML and CSV.
#include "vo/text_encoding.h"

static const char replacement[] = "\xEF\xBF\xBD"; // U+FFFD in UTF-8

// The length of the well-formed UTF-8 sequence at `text`, or 0 when there is none there:
// overlong forms, surrogates and code points above U+10FFFF are not well formed.
static int sequence_length(const unsigned char* text) {
    unsigned char lead = text[0];
    if (lead < 0x80)
        return 1;
    int length;
    unsigned long code;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    for (int n = 1; n < length; n++) {
        if ((text[n] & 0xC0) != 0x80) // also stops at the terminating zero byte
            return 0;
        code = code << 6 | (text[n] & 0x3Fu);
    }
    static const unsigned long smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    if (code == 0xFFFE || code == 0xFFFF)
        return 0;
    return length;
}

// `text` with every byte outside a well-formed sequence, and every control character but
// tab, line feed and carriage return, replaced by U+FFFD.
std::string utf8_cleaned(const char* text) {
    std::string out;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(text);
    while (*at) {
        int length = sequence_length(at);
        bool control = *at < 0x20 && *at != '\t' && *at != '\n' && *at != '\r';
        if (length == 0 || control) {
            out += replacement;
            at++;
            continue;
        }
        out.append(reinterpret_cast<const char*>(at), static_cast<std::size_t>(length));
        at += length;
    }
    return out;
}

// `text` fit for XML element content and attribute values alike: the five markup
// characters as entities, tab, line feed and carriage return as character references (so
// that no parser normalises them away). `text` must be cleaned already.
std::string xml_escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// `text` as one CSV field: in double quotes, each quote doubled, when it holds a comma, a
// quote or a line end, or begins or ends with a space or tab (which readers would
// otherwise strip); else as it stands.
std::string csv_field(const std::string& text) {
    bool quote = text.find_first_of(",\"\r\n") != std::string::npos;
    if (!text.empty()) {
        char first = text.front(), last = text.back();
        quote = quote || first == ' ' || first == '\t' || last == ' ' || last == '\t';
    }
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// `text` as a spreadsheet cannot take it for a formula: with an apostrophe before it when
// its first character after any leading spaces is "=", "+", "-", "@", a tab or a carriage
// return; else as it stands. The text's own spaces stay where they are.
std::string spreadsheet_text(const std::string& text) {
    std::string::size_type first = text.find_first_not_of(' ');
    if (first == std::string::npos ||
        std::string("=+-@\t\r").find(text[first]) == std::string::npos)
        return text;
    return "'" + text;
}
