// The registry record's settings, from what publisher.conf gives.
#include "vo/registry_settings.h"

// The settings of the record of a site whose publisher.conf gave `publisher`: its texts,
// the pages' heading as the title, the authors as the creators, and the institution as
// the publisher when no publisher is given.
registry_settings registry_settings_of(const site_publisher& publisher) {
    const publisher_texts& texts = publisher.texts;
    const registry_texts& record = publisher.record;
    const service_settings& services = publisher.services;
    registry_settings settings;
    settings.title = heading_of(texts);
    settings.short_name = services.short_name;
    settings.identifier = record.identifier;
    settings.publisher = *record.publisher ? record.publisher : texts.institution;
    settings.publisher_id = services.publisher_id;
    for (std::size_t n = 0; n < texts.author_count; n++)
        settings.creators.push_back(texts.authors[n].name);
    settings.contact_name = record.contact_name;
    settings.contact_email = record.contact_mail;
    settings.description = record.description;
    for (std::size_t n = 0; n < record.subject_count; n++)
        settings.subjects.push_back(record.subjects[n]);
    settings.reference_url = record.reference_url;
    settings.site_url = services.site_url;
    settings.created = services.created;
    for (std::size_t n = 0; n < services.waveband_count; n++)
        settings.wavebands.push_back(services.wavebands[n]);
    settings.frames[0] = services.frames[0];
    settings.frames[1] = services.frames[1];
    return settings;
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
