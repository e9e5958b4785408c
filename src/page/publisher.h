// publisher_texts: the catalogue publisher's own texts on the results page: authors,
// institution, ownership notice and sponsor, and optionally a title of the catalogue's own.
// The console program writes the texts it was built with (built_in_publisher); the query
// server those of its site.
#ifndef GALSIFT_PAGE_PUBLISHER_H
#define GALSIFT_PAGE_PUBLISHER_H

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

#endif
