// Reading a site's publisher.conf: the publisher's texts for the pages (publisher_texts)
// and for the registry record (registry_texts), over a base (the built-in texts) that
// keeps whatever the file leaves out, and the settings of the site's services
// (service_settings), whose defaults fill in what the file leaves out.
//
// The file is lines of "key = value". Blanks (spaces, tabs) around the key and the value
// are dropped, and carriage returns before a line's end; a line that is blank or whose
// first other character is '#' is a comment. The keys:
//   title, author (repeated, "Name <mail>"), institution, owner, place, year, sponsor,
//   sponsor_site (an http:// or https:// address)        the pages' texts
//   identifier ("ivo://authority/path"), publisher, contact ("Name <mail>"), description,
//   subject (repeated), reference_url (an http:// or https:// address)   the record's
//   short_name (16 bytes at most), publisher_id (ivo://), site_url (http(s)://; the '/'s
//   at its end dropped), created (YYYY-MM-DD), waveband (repeated), frame_2000 and
//   frame_1950 (ICRS, FK5 J2000 or FK4 B1950, in either case), moc_order (0 to 29)
//                                                         the services' settings
// The file's author lines, if any, replace all the base's authors; its subject lines its
// subjects. Every other key is given at most once. No value is empty or holds a control
// character, and the pages' texts hold no '<', '>' or '&' (the pages write them as they
// stand). A mail address is local@domain.name, of letters, digits and "._%+-" before the
// "@" and labels of letters, digits and "-" after it. An identifier's path is parts of
// letters, digits and "._~-", none empty, each after a '/'.
//
// cmake/publisher_conf.cmake reads the same files by the same rules into the texts the
// programs are built with; the two must agree.
#ifndef GALSIFT_WEB_PUBLISHER_FILE_H
#define GALSIFT_WEB_PUBLISHER_FILE_H

#include "page/publisher.h"
#include "web/registry_texts.h"
#include "web/service_settings.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

inline const char publisher_file_name[] = "publisher.conf";

// The longest file read, in bytes.
const std::size_t publisher_file_limit = 65536;

// What one publisher.conf gives. Not copied: the texts point into its own storage.
struct site_publisher {
    publisher_texts texts;     // the pages' texts
    registry_texts record;     // the record's texts
    service_settings services; // the services' settings

    site_publisher() = default;
    site_publisher(const site_publisher&) = delete;
    site_publisher& operator=(const site_publisher&) = delete;

    // Private part: what the texts point into, never changed while they do.
    std::deque<std::string> held;
    std::vector<page_author> authors;
    std::vector<const char*> subjects;
    std::vector<const char*> wavebands;
    const char* keep(const std::string& text);
};

// Results of read_publisher_text and read_publisher_file.
const int publisher_read = 0;       // every line is good: `out` holds the texts
const int publisher_missing = 1;    // there is no such file: `out` holds the base's texts
const int publisher_refused = 2;    // some lines are bad: `messages` names each, a line
                                    // each; `out` is unchanged
const int publisher_unreadable = 3; // the file cannot be read or is over the limit:
                                    // `messages` says so; `out` is unchanged

// Why a line is refused, after "NAME line N: " and, but for the first two, the key.
namespace publisher_reasons {
inline const char no_equals[] = "no \"=\": a line is key = value, or a comment after #";
inline const char unknown_key[] = "unknown key";
inline const char no_value[] = "has no value";
inline const char given_again[] = "given again, first at line";
inline const char control[] = "holds a control character";
inline const char markup[] = "holds '<', '>' or '&', which the pages would take as markup";
inline const char not_person[] = "is not written Name <mail>";
inline const char not_mail[] = "is not a mail address";
inline const char not_address[] = "is not an http:// or https:// address";
inline const char not_identifier[] = "is not an IVOA identifier, ivo://authority/path";
inline const char not_frame[] = "is not ICRS, FK5 J2000 or FK4 B1950";
inline const char not_order[] = "is not a whole number from 0 to 29";
inline const char not_date[] = "is not a date, YYYY-MM-DD";
inline const char too_long_name[] = "is longer than 16 bytes";
inline const char too_long[] = "is longer than 65536 bytes";
inline const char unreadable[] = "cannot be read";
} // namespace publisher_reasons

// Reads `text`, the content of the file `name` (which the messages name), over
// `base_texts` and `base_record` (and the services' defaults) into `out`. Returns
// publisher_read, or publisher_refused with a message for each bad line in `messages`.
int read_publisher_text(const std::string& text, const char* name,
                        const publisher_texts& base_texts, const registry_texts& base_record,
                        site_publisher& out, std::string& messages);

// Reads the file at `path` as read_publisher_text reads its content. Returns what it
// returns, or publisher_missing (no file; `out` then holds the base's texts), or
// publisher_unreadable.
int read_publisher_file(const char* path, const publisher_texts& base_texts,
                        const registry_texts& base_record, site_publisher& out,
                        std::string& messages);

#endif
