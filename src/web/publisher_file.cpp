// Reading publisher.conf.
#include "web/publisher_file.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// ---- The keys ----

enum publisher_key {
    k_title,
    k_author,
    k_institution,
    k_owner,
    k_place,
    k_year,
    k_sponsor,
    k_sponsor_site,
    k_identifier,
    k_publisher,
    k_contact,
    k_description,
    k_subject,
    k_reference_url,
    // The services' settings.
    k_short_name,
    k_publisher_id,
    k_site_url,
    k_created,
    k_waveband,
    k_frame_2000,
    k_frame_1950,
    k_moc_order,
    key_count
};

// How a key's value is written.
enum value_form { plain_text, person, address, identifier, short_text, date, frame, order };

struct key_rule {
    const char* name;
    value_form form;
    bool repeated; // may be given on many lines
    bool on_page;  // written into the pages as it stands
};

static const key_rule rules[key_count] = {
    {"title", plain_text, false, true},       {"author", person, true, true},
    {"institution", plain_text, false, true}, {"owner", plain_text, false, true},
    {"place", plain_text, false, true},       {"year", plain_text, false, true},
    {"sponsor", plain_text, false, true},     {"sponsor_site", address, false, true},
    {"identifier", identifier, false, false}, {"publisher", plain_text, false, false},
    {"contact", person, false, false},        {"description", plain_text, false, false},
    {"subject", plain_text, true, false},     {"reference_url", address, false, false},
    {"short_name", short_text, false, false}, {"publisher_id", identifier, false, false},
    {"site_url", address, false, false},      {"created", date, false, false},
    {"waveband", plain_text, true, false},    {"frame_2000", frame, false, false},
    {"frame_1950", frame, false, false},      {"moc_order", order, false, false},
};

// The longest short_name, bytes.
const std::size_t short_name_limit = 16;

// The deepest coverage map a publisher may ask for.
const long deepest_order = 29;

// What a file gives, key by key, before it is taken.
struct given_values {
    std::string value[key_count]; // each key's value (the last, for a repeated key)
    int line[key_count] = {};     // the line each key was first given on; 0: not given
    std::vector<std::string> author_names, author_mails, subjects, wavebands;
    std::string contact_name, contact_mail;
    coordinate_frame frames[2] = {frame_of_epoch(2000), frame_of_epoch(1950)};
};

// ---- Texts ----

static bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

static bool is_letter_or_digit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Whether `c` is a letter, a digit or one of `others`.
static bool is_word_char(char c, const char* others) {
    return is_letter_or_digit(c) || (c != '\0' && std::strchr(others, c));
}

// Whether every byte of `text` from `from` to `to` is a letter, a digit or one of `others`.
static bool all_word_chars(const std::string& text, std::size_t from, std::size_t to,
                           const char* others) {
    for (std::size_t n = from; n < to; n++)
        if (!is_word_char(text[n], others))
            return false;
    return true;
}

static std::string trimmed(const std::string& text) {
    std::size_t first = 0, end = text.size();
    while (first < end && is_blank(text[first]))
        first++;
    while (end > first && is_blank(text[end - 1]))
        end--;
    return text.substr(first, end - first);
}

static bool has_control(const std::string& text) {
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return true;
    }
    return false;
}

static bool has_markup(const std::string& text) {
    return text.find_first_of("<>&") != std::string::npos;
}

static bool starts_with(const std::string& text, const char* head) {
    return text.compare(0, std::strlen(head), head) == 0;
}

// local@domain.name: letters, digits and "._%+-" before the "@"; after it, two labels or
// more of letters, digits and "-", joined by dots.
static bool is_mail(const std::string& text) {
    std::size_t at = text.find('@');
    if (at == 0 || at == std::string::npos || !all_word_chars(text, 0, at, "._%+-"))
        return false;
    int labels = 0;
    for (std::size_t start = at + 1;; labels++) {
        std::size_t dot = text.find('.', start);
        std::size_t end = dot == std::string::npos ? text.size() : dot;
        if (end == start || !all_word_chars(text, start, end, "-"))
            return false;
        if (dot == std::string::npos)
            return labels >= 1;
        start = dot + 1;
    }
}

// http:// or https://, then one byte or more, none a blank, '"', '<' or '>'.
static bool is_address(const std::string& text) {
    std::size_t head = starts_with(text, "http://") ? 7 : starts_with(text, "https://") ? 8 : 0;
    return head && text.size() > head && text.find_first_of(" \t\"<>", head) == std::string::npos;
}

// ivo://, an authority of three bytes or more (a letter or digit first, then letters,
// digits and "._~-"), then a path of any number of parts, each a '/' and one byte or more
// of letters, digits and "._~-".
static bool is_identifier(const std::string& text) {
    const std::size_t head = 6;
    if (!starts_with(text, "ivo://"))
        return false;
    std::size_t slash = text.find('/', head);
    std::size_t end = slash == std::string::npos ? text.size() : slash;
    if (end - head < 3 || !is_letter_or_digit(text[head]) ||
        !all_word_chars(text, head, end, "._~-"))
        return false;
    for (std::size_t start = end; start < text.size(); start = end) {
        end = std::min(text.find('/', start + 1), text.size());
        if (end == start + 1 || !all_word_chars(text, start + 1, end, "._~-"))
            return false;
    }
    return true;
}

// YYYY-MM-DD, a month from 01 to 12, a day from 01 to 31.
static bool is_date(const std::string& text) {
    static const char form[] = "dddd-dd-dd"; // d: a digit
    if (text.size() != std::strlen(form))
        return false;
    for (std::size_t n = 0; n < text.size(); n++)
        if (form[n] == 'd' ? !(text[n] >= '0' && text[n] <= '9') : text[n] != form[n])
            return false;
    int month = std::atoi(text.c_str() + 5), day = std::atoi(text.c_str() + 8);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// Digits alone, whose number is at most deepest_order.
static bool is_order(const std::string& text) {
    return text.find_first_not_of("0123456789") == std::string::npos &&
           std::strtol(text.c_str(), nullptr, 10) <= deepest_order;
}

// "Name <mail>": the name before the last '<', blanks dropped, not empty; the mail between
// it and the '>' that ends the value.
static bool split_person(const std::string& value, std::string& name, std::string& mail) {
    std::size_t open = value.rfind('<');
    if (value.empty() || value.back() != '>' || open == std::string::npos)
        return false;
    name = trimmed(value.substr(0, open));
    mail = value.substr(open + 1, value.size() - open - 2);
    return !name.empty();
}

// ---- Lines ----

static std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Checks `value`, given for the key of `rule`, and takes it into `given`. Returns "" when
// it is good, else why it is not (after the line's number).
static std::string take_value(const key_rule& rule, int key, const std::string& value, int line,
                              given_values& given) {
    std::string key_name = quoted(rule.name) + " ";
    if (value.empty())
        return key_name + publisher_reasons::no_value;
    if (!rule.repeated && given.line[key])
        return key_name + publisher_reasons::given_again + " " + std::to_string(given.line[key]);
    if (has_control(value))
        return key_name + publisher_reasons::control;
    std::string name, mail;
    if (rule.form == person && !split_person(value, name, mail))
        return key_name + publisher_reasons::not_person;
    if (rule.on_page && has_markup(rule.form == person ? name : value))
        return key_name + publisher_reasons::markup;
    if (rule.form == person && !is_mail(mail))
        return quoted(rule.name) + ": " + quoted(mail) + " " + publisher_reasons::not_mail;
    if (rule.form == address && !is_address(value))
        return key_name + publisher_reasons::not_address;
    if (rule.form == identifier && !is_identifier(value))
        return key_name + publisher_reasons::not_identifier;
    if (rule.form == short_text && value.size() > short_name_limit)
        return key_name + publisher_reasons::too_long_name;
    if (rule.form == date && !is_date(value))
        return key_name + publisher_reasons::not_date;
    coordinate_frame named = frame_of_epoch(2000);
    if (rule.form == frame && !frame_named(value, named))
        return key_name + publisher_reasons::not_frame;
    if (rule.form == order && !is_order(value))
        return key_name + publisher_reasons::not_order;

    if (!given.line[key])
        given.line[key] = line;
    given.value[key] = value;
    if (key == k_author) {
        given.author_names.push_back(name);
        given.author_mails.push_back(mail);
    } else if (key == k_contact) {
        given.contact_name = name;
        given.contact_mail = mail;
    } else if (key == k_subject || key == k_waveband) {
        (key == k_subject ? given.subjects : given.wavebands).push_back(value);
    } else if (rule.form == frame) {
        given.frames[key == k_frame_2000 ? 0 : 1] = named;
    }
    return "";
}

// Checks the line `text` and takes its value into `given`. Returns "" when it is good (or
// a comment), else why it is not.
static std::string take_line(const std::string& text, int line, given_values& given) {
    std::string content = trimmed(text);
    if (content.empty() || content[0] == '#')
        return "";
    std::size_t equals = content.find('=');
    if (equals == std::string::npos)
        return publisher_reasons::no_equals;
    std::string key = trimmed(content.substr(0, equals));
    std::string value = trimmed(content.substr(equals + 1));
    for (int n = 0; n < key_count; n++)
        if (key == rules[n].name)
            return take_value(rules[n], n, value, line, given);
    return std::string(publisher_reasons::unknown_key) + " " + quoted(key);
}

// ---- Reading ----

const char* site_publisher::keep(const std::string& text) {
    held.push_back(text);
    return held.back().c_str();
}

// Puts into `out` the texts and settings `given` gives, and for the rest the base's texts
// and the settings' defaults.
static void take_texts(const given_values& given, const publisher_texts& base_texts,
                       const registry_texts& base_record, site_publisher& out) {
    out.held.clear();
    out.authors.clear();
    out.subjects.clear();
    out.wavebands.clear();
    auto text = [&](int key, const char* base) {
        return out.keep(given.line[key] ? given.value[key] : std::string(base));
    };
    publisher_texts& page = out.texts;
    if (given.line[k_author]) {
        for (std::size_t n = 0; n < given.author_names.size(); n++)
            out.authors.push_back(
                {out.keep(given.author_names[n]), out.keep(given.author_mails[n])});
    } else {
        for (std::size_t n = 0; n < base_texts.author_count; n++)
            out.authors.push_back(
                {out.keep(base_texts.authors[n].name), out.keep(base_texts.authors[n].mail)});
    }
    page.authors = out.authors.data();
    page.author_count = out.authors.size();
    page.institution = text(k_institution, base_texts.institution);
    page.owner = text(k_owner, base_texts.owner);
    page.place = text(k_place, base_texts.place);
    page.year = text(k_year, base_texts.year);
    page.sponsor = text(k_sponsor, base_texts.sponsor);
    page.sponsor_site = text(k_sponsor_site, base_texts.sponsor_site);
    page.title = given.line[k_title] ? out.keep(given.value[k_title])
                 : base_texts.title  ? out.keep(base_texts.title)
                                     : nullptr;

    registry_texts& record = out.record;
    record.identifier = text(k_identifier, base_record.identifier);
    record.publisher = text(k_publisher, base_record.publisher);
    record.contact_name = out.keep(given.line[k_contact] ? given.contact_name
                                                         : std::string(base_record.contact_name));
    record.contact_mail = out.keep(given.line[k_contact] ? given.contact_mail
                                                         : std::string(base_record.contact_mail));
    record.description = text(k_description, base_record.description);
    record.reference_url = text(k_reference_url, base_record.reference_url);
    if (given.line[k_subject]) {
        for (const std::string& subject : given.subjects)
            out.subjects.push_back(out.keep(subject));
    } else {
        for (std::size_t n = 0; n < base_record.subject_count; n++)
            out.subjects.push_back(out.keep(base_record.subjects[n]));
    }
    record.subjects = out.subjects.empty() ? nullptr : out.subjects.data();
    record.subject_count = out.subjects.size();

    service_settings& services = out.services;
    services = service_settings();
    services.short_name = text(k_short_name, "");
    services.publisher_id = text(k_publisher_id, "");
    std::string site = given.value[k_site_url];
    while (!site.empty() && site.back() == '/' && is_address(site.substr(0, site.size() - 1)))
        site.pop_back();
    services.site_url = out.keep(site);
    services.created = text(k_created, "");
    for (const std::string& waveband : given.wavebands)
        out.wavebands.push_back(out.keep(waveband));
    services.wavebands = out.wavebands.empty() ? nullptr : out.wavebands.data();
    services.waveband_count = out.wavebands.size();
    services.frames[0] = given.frames[0];
    services.frames[1] = given.frames[1];
    if (given.line[k_moc_order])
        services.moc_order = std::atoi(given.value[k_moc_order].c_str());
    assert(services.moc_order >= -1 && services.moc_order <= deepest_order);
}

int read_publisher_text(const std::string& text, const char* name,
                        const publisher_texts& base_texts, const registry_texts& base_record,
                        site_publisher& out, std::string& messages) {
    given_values given;
    std::size_t start = starts_with(text, "\xEF\xBB\xBF") ? 3 : 0; // a byte order mark
    bool good = true;
    for (int line = 1; start < text.size(); line++) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::size_t content_end = end;
        while (content_end > start && text[content_end - 1] == '\r')
            content_end--; // carriage returns before the line's end
        std::string why = take_line(text.substr(start, content_end - start), line, given);
        if (!why.empty()) {
            messages += std::string(name) + " line " + std::to_string(line) + ": " + why + "\n";
            good = false;
        }
        start = end + 1;
    }
    if (!good)
        return publisher_refused;
    take_texts(given, base_texts, base_record, out);
    assert(out.texts.author_count >= 1);
    return publisher_read;
}

int read_publisher_file(const char* path, const publisher_texts& base_texts,
                        const registry_texts& base_record, site_publisher& out,
                        std::string& messages) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        if (errno != ENOENT) {
            messages += std::string(path) + " " + publisher_reasons::unreadable + "\n";
            return publisher_unreadable;
        }
        read_publisher_text("", path, base_texts, base_record, out, messages);
        return publisher_missing;
    }
    std::string text(publisher_file_limit + 1, '\0');
    std::size_t got = std::fread(&text[0], 1, text.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || got > publisher_file_limit) {
        messages += std::string(path) + " " +
                    (failed ? publisher_reasons::unreadable : publisher_reasons::too_long) + "\n";
        return publisher_unreadable;
    }
    text.resize(got);
    return read_publisher_text(text, path, base_texts, base_record, out, messages);
}
