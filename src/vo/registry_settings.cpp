// Reading the publisher's settings for the registry record.
#include "vo/registry_settings.h"

#include "page/publisher.h"

#include <cctype>
#include <cstdlib>

// The keys of the results page's texts, read elsewhere; those the record uses too are
// read here as well.
static const char* const page_keys[] = {"owner", "place", "year", "sponsor", "sponsor_site"};

// `text` without the spaces and tabs around it.
static std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Whether `c` may stand in an IVOA identifier's authority or path.
static bool identifier_character(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string("-_.!~*'()+=").find(c) != std::string::npos;
}

// Whether `text` is an IVOA identifier: "ivo://", an authority of three characters or
// more starting with a letter or digit, then any number of "/"-separated path parts.
static bool is_identifier(const std::string& text) {
    if (text.compare(0, 6, "ivo://") != 0 || text.size() < 9 ||
        !std::isalnum(static_cast<unsigned char>(text[6])))
        return false;
    char last = '/';
    for (std::size_t n = 6; n < text.size(); n++) {
        char c = text[n];
        if (!(identifier_character(c) || (c == '/' && n > 8 && last != '/')))
            return false;
        last = c;
    }
    return last != '/';
}

// Whether `text` is an http or https address: no spaces, no control characters.
static bool is_web_address(const std::string& text) {
    if (text.compare(0, 7, "http://") != 0 && text.compare(0, 8, "https://") != 0)
        return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '<' || c == '>')
            return false;
    return true;
}

// "Name <mail>" into its name and mail; a text without "<" is a name alone. Returns false
// for a "<" without its closing ">" at the end.
static bool read_person(const std::string& text, std::string& name, std::string& mail) {
    std::size_t open = text.find('<');
    if (open == std::string::npos) {
        name = text;
        mail.clear();
        return !name.empty();
    }
    if (text.back() != '>')
        return false;
    name = trimmed(text.substr(0, open));
    mail = trimmed(text.substr(open + 1, text.size() - open - 2));
    return !name.empty() && mail.find('@') != std::string::npos;
}

// Whether `text` is a date, YYYY-MM-DD.
static bool is_date(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    static const std::size_t digits[] = {0, 1, 2, 3, 5, 6, 8, 9};
    for (std::size_t n : digits)
        if (!std::isdigit(static_cast<unsigned char>(text[n])))
            return false;
    int month = std::atoi(text.c_str() + 5), day = std::atoi(text.c_str() + 8);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

// Takes `value` for `key` into `settings`. Returns an empty text, or why the value is
// refused ("unknown key" for a key no reader knows).
static std::string take(registry_settings& settings, const std::string& key,
                        const std::string& value, std::string& institution) {
    std::string name, mail;
    if (key == "institution") {
        institution = value;
    } else if (key == "title" || key == "publisher") {
        (key == "title" ? settings.title : settings.publisher) = value;
    } else if (key == "short_name") {
        if (value.size() > 16)
            return "longer than 16 characters";
        settings.short_name = value;
    } else if (key == "identifier" || key == "publisher_id") {
        if (!is_identifier(value))
            return "not an IVOA identifier (ivo://authority/path)";
        (key == "identifier" ? settings.identifier : settings.publisher_id) = value;
    } else if (key == "author" || key == "contact") {
        if (!read_person(value, name, mail))
            return "must be a name, or a name and <mail address>";
        if (key == "author") {
            settings.creators.push_back(name);
        } else {
            settings.contact_name = name;
            settings.contact_email = mail;
        }
    } else if (key == "description") {
        settings.description += (settings.description.empty() ? "" : " ") + value;
    } else if (key == "subject" || key == "waveband") {
        (key == "subject" ? settings.subjects : settings.wavebands).push_back(value);
    } else if (key == "reference_url" || key == "site_url") {
        if (!is_web_address(value))
            return "not an http:// or https:// address";
        std::string& field = key == "site_url" ? settings.site_url : settings.reference_url;
        field = value;
        while (key == "site_url" && !field.empty() && field.back() == '/')
            field.pop_back();
    } else if (key == "created") {
        if (!is_date(value))
            return "not a date YYYY-MM-DD";
        settings.created = value;
    } else if (key == "frame_2000" || key == "frame_1950") {
        if (!frame_named(value, settings.frames[key == "frame_2000" ? 0 : 1]))
            return "must be ICRS, FK5 J2000 or FK4 B1950";
    } else if (key == "moc_order") {
        char* end = nullptr;
        long order = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != 0 || order < 0 || order > 29)
            return "must be a whole number from 0 to 29";
        settings.moc_order = static_cast<int>(order);
    } else {
        for (const char* page_key : page_keys)
            if (key == page_key)
                return std::string();
        return "unknown key";
    }
    return std::string();
}

// Reads the settings file's `text` into `settings`, over what it holds. A line without
// "=", an empty value, an unknown key or a value of the wrong form is left out, with a note
// naming its line in settings.notes; the other lines are read.
void read_registry_settings(const std::string& text, registry_settings& settings) {
    std::string institution;
    std::size_t start = 0;
    for (int number = 1; start < text.size(); number++) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t equals = line.find('=');
        std::string key = equals == std::string::npos ? "" : trimmed(line.substr(0, equals));
        std::string value = equals == std::string::npos ? "" : trimmed(line.substr(equals + 1));
        std::string why = key.empty()     ? "not a line of key = value"
                          : value.empty() ? "no value"
                                          : take(settings, key, value, institution);
        if (!why.empty())
            settings.notes += std::string(registry_settings_file) + " line " +
                              std::to_string(number) + ": " + (key.empty() ? "" : key + ": ") +
                              why + "\n";
    }
    if (settings.publisher.empty())
        settings.publisher = institution;
    if (settings.title.empty()) // the pages' heading, which is the system's when untitled
        settings.title = system_heading;
}

// The keys a registry record cannot do without that `settings` lack, separated by ", ";
// empty when none is missing.
std::string missing_record_settings(const registry_settings& settings) {
    struct {
        const char* key;
        bool missing;
    } required[] = {
        {"title", settings.title.empty()},
        {"identifier", settings.identifier.empty()},
        {"publisher (or institution)", settings.publisher.empty()},
        {"contact", settings.contact_name.empty()},
        {"description", settings.description.empty()},
        {"subject", settings.subjects.empty()},
        {"reference_url", settings.reference_url.empty()},
    };
    std::string missing;
    for (const auto& setting : required)
        if (setting.missing)
            missing += (missing.empty() ? "" : ", ") + std::string(setting.key);
    return missing;
}
