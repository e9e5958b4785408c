// registry_texts: what the site's registry record says of the catalogue beyond the page's
// texts (publisher_texts): its IVOA identifier, publishing organisation, contact,
// description, subjects and reference address. The query server takes them from its
// site's publisher.conf; built_in_record holds those of the publisher.conf the programs
// were built with. The record's other settings, which no build carries, stand beside
// them (service_settings.h). The texts are plain: whoever writes them into a document
// escapes them.
#ifndef GALSIFT_WEB_REGISTRY_TEXTS_H
#define GALSIFT_WEB_REGISTRY_TEXTS_H

#include <cstddef>

struct registry_texts {
    const char* identifier = "";           // "ivo://authority/path"
    const char* publisher = "";            // the publishing organisation's name
    const char* contact_name = "";         // whom to ask about the service
    const char* contact_mail = "";         // that person's mail address
    const char* description = "";          // what the catalogue holds, one paragraph
    const char* reference_url = "";        // an http:// or https:// page about the catalogue
    const char* const* subjects = nullptr; // its subjects, subject_count of them
    std::size_t subject_count = 0;
};

extern const registry_texts built_in_record;

#endif
