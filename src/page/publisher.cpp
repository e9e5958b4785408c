// The texts the programs are built with.
#include "page/publisher.h"

#include <iterator>

static const page_author built_in_authors[] = {
    {"Anna Lindqvist", "a.lindqvist@galsift.example"},
    {"Marek Nowicki", "m.nowicki@galsift.example"},
    {"Chiara Rinaldi", "c.rinaldi@galsift.example"},
};

const publisher_texts built_in_publisher = {
    built_in_authors,
    std::size(built_in_authors),
    "Galsift Survey, Department of Extragalactic Astronomy",
    "The galsift survey team",
    "Lund",
    "2026",
    "the galsift survey fund",
    "https://galsift.example/fund/",
    nullptr,
};
