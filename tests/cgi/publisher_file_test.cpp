// publisher.conf as the query server reads it (read_publisher_file) and as the build reads
// it (cmake/publisher_conf.cmake): the same texts from the same file, every bad line
// named in the same words, and a refused file changing nothing.
#include "page/publisher.h"
#include "web/publisher_file.h"
#include "web/registry_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// The sample's texts as the build writes them (tests/cgi/CMakeLists.txt).
extern const publisher_texts sample_publisher;
extern const registry_texts sample_record;

static const char example_conf[] = GALSIFT_SOURCE_DIR "/example/publisher.conf";
static const char sample_conf[] = GALSIFT_SOURCE_DIR "/tests/cgi/publisher_sample.conf";

static void expect_same(const publisher_texts& a, const publisher_texts& b) {
    ASSERT_EQ(a.author_count, b.author_count);
    for (std::size_t n = 0; n < a.author_count; n++) {
        EXPECT_STREQ(a.authors[n].name, b.authors[n].name);
        EXPECT_STREQ(a.authors[n].mail, b.authors[n].mail);
    }
    const char* const texts_a[] = {a.institution, a.owner,        a.place,      a.year,
                                   a.sponsor,     a.sponsor_site, heading_of(a)};
    const char* const texts_b[] = {b.institution, b.owner,        b.place,      b.year,
                                   b.sponsor,     b.sponsor_site, heading_of(b)};
    for (std::size_t n = 0; n < std::size(texts_a); n++)
        EXPECT_STREQ(texts_a[n], texts_b[n]) << "text " << n;
}

static void expect_same(const registry_texts& a, const registry_texts& b) {
    const char* const texts_a[] = {a.identifier,   a.publisher,   a.contact_name,
                                   a.contact_mail, a.description, a.reference_url};
    const char* const texts_b[] = {b.identifier,   b.publisher,   b.contact_name,
                                   b.contact_mail, b.description, b.reference_url};
    for (std::size_t n = 0; n < std::size(texts_a); n++)
        EXPECT_STREQ(texts_a[n], texts_b[n]) << "text " << n;
    ASSERT_EQ(a.subject_count, b.subject_count);
    for (std::size_t n = 0; n < a.subject_count; n++)
        EXPECT_STREQ(a.subjects[n], b.subjects[n]);
}

// The build reads the sample over the example's file; the server reads it over the
// built-in texts, here made the example's by reading that file first.
TEST(PublisherFile, SameTextsAsTheBuild) {
    site_publisher example, sample;
    std::string said;
    ASSERT_EQ(read_publisher_file(example_conf, built_in_publisher, built_in_record, example, said),
              publisher_read)
        << said;
    ASSERT_EQ(read_publisher_file(sample_conf, example.texts, example.record, sample, said),
              publisher_read)
        << said;
    expect_same(sample.texts, sample_publisher);
    expect_same(sample.record, sample_record);

    // What both must read there, so that they cannot agree on a wrong reading.
    EXPECT_STREQ(sample.texts.title, "Relevamiento \"Sur\" de galaxias lejanas \\ z \u2264 1??");
    ASSERT_EQ(sample.texts.author_count, 2u); // the file's authors replace the example's
    EXPECT_STREQ(sample.texts.authors[1].name, "Ng Wei");
    EXPECT_STREQ(sample.texts.authors[1].mail, "ng.wei+sur@obs-sur.example.org");
    EXPECT_STREQ(sample.texts.institution, "Observatorio del Sur; Secci\u00f3n [Galaxias]");
    EXPECT_STREQ(sample.texts.owner, "Equipo ${CMAKE_COMMAND} del Sur");
    EXPECT_STREQ(sample.texts.sponsor, "Fondo = Nacional de Ciencia");
    EXPECT_STREQ(sample.texts.sponsor_site, "https://fondo.example.org/apoyo#sur?x=1");
    EXPECT_STREQ(sample.record.reference_url, example.record.reference_url); // left out
    EXPECT_STREQ(sample.record.description, "Redshifts of <distant> galaxies & their references");

    // No file: the base's texts; a refused file: nothing changed.
    site_publisher none;
    EXPECT_EQ(read_publisher_file("no-such.conf", example.texts, example.record, none, said),
              publisher_missing);
    expect_same(none.texts, example.texts);
    expect_same(none.record, example.record);
    const char* before = sample.texts.owner;
    EXPECT_EQ(
        read_publisher_text("owner = <b>\n", "x", example.texts, example.record, sample, said),
        publisher_refused);
    EXPECT_EQ(sample.texts.owner, before);
}

// Each bad line named, in order, by both readers in the same words; the good lines among
// them (edges of the rules) pass.
TEST(PublisherFile, BadLinesNamedByBoth) {
    struct line_case {
        const char* line;
        const char* why; // null: a good line
    };
    const line_case cases[] = {
        {"title Relevamiento del Sur", publisher_reasons::no_equals},
        {"autor = Ana <ana@sur.example.cl>", "unknown key \"autor\""},
        {" = Ana", "unknown key \"\""},
        {"owner =", "\"owner\" has no value"},
        {"place = La Serena", nullptr},
        {"place = Santiago", "\"place\" given again, first at line 5"},
        {"year = 20\a24", "\"year\" holds a control character"},
        {"institution = Sur & Norte", "\"institution\" holds '<', '>' or '&', which the pages "
                                      "would take as markup"},
        {"title = <b>Sur</b>", "\"title\" holds '<', '>' or '&', which the pages would take "
                               "as markup"},
        {"author = O'Brien Ana <o.brien@sur.example.cl>", nullptr},
        {"author = Ana <ana@sur>", "\"author\": \"ana@sur\" is not a mail address"},
        {"author = Ana <ana@sur..cl>", "\"author\": \"ana@sur..cl\" is not a mail address"},
        {"author = <ana@sur.cl>", "\"author\" is not written Name <mail>"},
        {"author = Ana ana@sur.cl", "\"author\" is not written Name <mail>"},
        {"author = A&B <ab@sur.cl>", "\"author\" holds '<', '>' or '&', which the pages would "
                                     "take as markup"},
        {"contact = A&B <ab@sur.cl>", nullptr},
        {"contact = Ana <ana sur@sur.cl>", "\"contact\" given again, first at line 16"},
        {"sponsor_site = www.fondo.cl", "\"sponsor_site\" is not an http:// or https:// address"},
        {"sponsor_site = https://fondo.cl/?a=1&b=2", "\"sponsor_site\" holds '<', '>' or '&', "
                                                     "which the pages would take as markup"},
        {"reference_url = https://sur.cl/?a=1&b=2", nullptr},
        {"identifier = ivo://ab/galaxias",
         "\"identifier\" is not an IVOA identifier, ivo://authority/path"},
        {"identifier = http://sur.example.cl",
         "\"identifier\" is not an IVOA identifier, ivo://authority/path"},
        {"identifier = ivo://sur.example.cl", nullptr},
        {"subject =", "\"subject\" has no value"},
        {"subject = Gala\rxies", "\"subject\" holds a control character"},
        {"subject = Galaxies\r\r", nullptr},
        {"publisher_id = ivo://sur.example.cl/a//b",
         "\"publisher_id\" is not an IVOA identifier, ivo://authority/path"},
        {"publisher_id = ivo://sur.example.cl/a/",
         "\"publisher_id\" is not an IVOA identifier, ivo://authority/path"},
        {"publisher_id = ivo://sur.example.cl/a/b.c~d_e-f", nullptr},
        {"short_name = Relevamiento S\u00fcr", "\"short_name\" is longer than 16 bytes"},
        {"short_name = Relevamiento Sur", nullptr},
        {"created = 2024-1-05", "\"created\" is not a date, YYYY-MM-DD"},
        {"created = 2024-00-10", "\"created\" is not a date, YYYY-MM-DD"},
        {"created = 2024-12-31", nullptr},
        {"frame_2000 = FK5", "\"frame_2000\" is not ICRS, FK5 J2000 or FK4 B1950"},
        {"frame_2000 = icrs j2000", "\"frame_2000\" is not ICRS, FK5 J2000 or FK4 B1950"},
        {"frame_2000 = fk5   J2000", nullptr},
        {"frame_1950 = ICRS", nullptr},
        {"moc_order = -1", "\"moc_order\" is not a whole number from 0 to 29"},
        {"moc_order = 30", "\"moc_order\" is not a whole number from 0 to 29"},
        {"moc_order = 029", nullptr},
    };
    std::string path = (std::filesystem::temp_directory_path() /
                        ("galsift-publisher-" + std::to_string(getpid()) + ".conf"))
                           .string();
    std::string text, expected;
    for (std::size_t n = 0; n < std::size(cases); n++) {
        text += std::string(cases[n].line) + "\n";
        if (cases[n].why)
            expected += path + " line " + std::to_string(n + 1) + ": " + cases[n].why + "\n";
    }
    std::ofstream(path, std::ios::binary) << text;

    site_publisher out;
    std::string said;
    EXPECT_EQ(read_publisher_file(path.c_str(), built_in_publisher, built_in_record, out, said),
              publisher_refused);
    EXPECT_EQ(said, expected);
    EXPECT_EQ(out.texts.authors, nullptr); // nothing taken

    std::string command = std::string("\"") + GALSIFT_CMAKE + "\" -DCONF=\"" + path + "\" -P \"" +
                          GALSIFT_SOURCE_DIR + "/cmake/publisher_conf.cmake\" 2>&1";
    std::FILE* run = popen(command.c_str(), "r");
    ASSERT_NE(run, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, run)) > 0;)
        output.append(buffer, got);
    EXPECT_NE(pclose(run), 0);
    EXPECT_EQ(output.substr(0, expected.size()), expected) << output;
    std::remove(path.c_str());
}
