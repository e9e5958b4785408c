// publisher_texts: the catalogue publisher's own texts on the results page: authors,
// institution, ownership notice and sponsor, and optionally a title of the catalogue's own.
// The console program writes the texts it was built with (built_in_publisher, written at
// configure time from the publisher.conf named by GALSIFT_PUBLISHER_CONF); the query
// server those of its site's publisher.conf.
//
// Every text is written into the page as it stands: none holds '<', '>' or '&', and the
// mail addresses and the sponsor's site, written inside attributes, hold no '"'.
#ifndef GALSIFT_PAGE_PUBLISHER_H
#define GALSIFT_PAGE_PUBLISHER_H

#include <cassert>
#include <cstddef>

struct page_author {
    const char* name;
    const char* mail;
};

struct publisher_texts {
    const page_author* authors = nullptr; // the heading's authors, at least one
    std::size_t author_count = 0;
    const char* institution = "";
    const char* owner = "";
    const char* place = "";
    const char* year = "";
    const char* sponsor = "";
    const char* sponsor_site = "";
    const char* title = nullptr; // the page's heading; null keeps the system's own
};

extern const publisher_texts built_in_publisher;

// The system's own heading of the results page and the query form.
inline const char system_heading[] = "KELMOS: Spectroscopic redshift catalogue of distant galaxies";

// The heading the results page and the query form show: the publisher's title, or the
// system's own.
inline const char* heading_of(const publisher_texts& publisher) {
    assert(!publisher.title || *publisher.title);
    return publisher.title ? publisher.title : system_heading;
}

#endif
