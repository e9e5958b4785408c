// The catalogue publisher's own texts on the results page: authors, institution,
// ownership notice and sponsor. Change them here, and only here, to publish another
// catalogue's site.
#ifndef GALSIFT_PAGE_PUBLISHER_H
#define GALSIFT_PAGE_PUBLISHER_H

namespace publisher {
struct author {
    const char* name;
    const char* mail;
};

// Exactly three: the heading of the results page is written for three.
inline const author authors[] = {
    {"Anna Lindqvist", "a.lindqvist@galsift.example"},
    {"Marek Nowicki", "m.nowicki@galsift.example"},
    {"Chiara Rinaldi", "c.rinaldi@galsift.example"},
};
inline const char institution[] = "Galsift Survey, Department of Extragalactic Astronomy";
inline const char owner[] = "The galsift survey team";
inline const char place[] = "Lund";
inline const char year[] = "2026";
inline const char sponsor[] = "the galsift survey fund";
inline const char sponsor_site[] = "https://galsift.example/fund/";
} // namespace publisher

#endif
