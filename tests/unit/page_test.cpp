// The results page, end to end: the stages read their files in a scratch directory and
// the page written must match, byte for byte, the page the rules describe.
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "page/publisher.h"
#include "page/results_page.h"
#include "page/style.h"
#include "query/query_form.h"
#include "scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>
#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
static const publisher_texts& texts = built_in_publisher;
static const page_author* const authors = texts.authors;

// The page from its first byte to the epoch of the query summary.
static const std::string page_head =
    std::string("<html>\n"
                "<head>\n"
                "<title>Query Results</title>\n"
                "</head>\n"
                "<body>\n"
                "<font color=\"#008080\">"
                "<h2>KELMOS: Spectroscopic redshift catalogue of distant galaxies<br></h2>\n"
                "</font><h3><a href=\"mailto:") +
    authors[0].mail + "\">" + authors[0].name + "</a>,\n<a href=\"mailto:" + authors[1].mail +
    "\">" + authors[1].name + "</a>,\n<a href=\"mailto:" + authors[2].mail + "\">" +
    authors[2].name + "</a></h3>\n<font color=\"#008080\"><h3>" + texts.institution +
    "<br></h3>\n"
    "</font>\n"
    "<br><ul><li><a href=\"introduction.htm\"><b>Introduction</b></a>\n"
    "<li><a href=\"references.htm\"><b>References</b></a>\n"
    "</ul><br>\n"
    "<font color=\"#008080\"><h4>Query parameters:<br>Coordinates at the epoch ";

// The page from the footer to its last byte.
static const std::string page_foot = std::string("<hr><table width=\"100%\">\n"
                                                 "<tr>\n"
                                                 "<td align=\"left\">\n"
                                                 "<font color=\"#008080\">\n"
                                                 "<h3>&#169; ") +
                                     texts.owner + " <br>\n " + texts.place + ", " + texts.year +
                                     "</h3></font></td>\n"
                                     " <td align=\"right\"><font color=\"#008080\">\n"
                                     "<h3><a href=\"" +
                                     texts.sponsor_site + "\">Supported by " + texts.sponsor +
                                     "</a></h3>\n"
                                     "</font>\n"
                                     "</td>\n"
                                     "</tr>\n"
                                     "</table></body>\n"
                                     "</html>\n";

// The query form as the program's documentation shows it, with its minimal declination.
static std::string example_form(const char* minimal_declination) {
    return std::string("Epoch=2000\n"
                       "Minimal ascension= 10:00:00\n"
                       "Maximal ascension= 14:30:00\n"
                       "Minimal declination=") +
           minimal_declination +
           "\n"
           "Maximal declination=+45:30:00\n"
           "Minimal redshift= 0.5\n"
           "Maximal redshift= 3\n";
}

static const char example_entry[] = "10$20$30.5$-05$30$00$2.345$ ABC 123 $Smith et al. 2001$\n";

// The page of the example form and entry, after the epoch: the entry lies south of the
// box, so the summary is followed by the notice that nothing matched.
static const char example_middle[] =
    "2000  <br>\n"
    "Ascension interval: 10:00:00\n"
    "<= &#945; <=14:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
    "Declination interval: -05:00:00\n"
    "<= &#948; <=45:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
    "Redshift interval: 0.5   <= z <=3     </h4></font>\n"
    "<h3><br>There is no record corresponding to these parameters</h3>\n";

// The summary of the example form with a minimal declination of -05:30:00, after the epoch.
static const char summary_to_0530[] = "2000  <br>\n"
                                      "Ascension interval: 10:00:00\n"
                                      "<= &#945; <=14:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
                                      "Declination interval: -05:30:00\n"
                                      "<= &#948; <=45:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
                                      "Redshift interval: 0.5   <= z <=3     </h4></font>\n";

static const char one_of_one[] =
    "<font color=\"#008080\"><h4><br>There are 1     records corresponding to these "
    "parameters.\n"
    "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
    "Total number of records is 1    .</h4></font>\n"
    "<hr>";

// The header row of the table, for the header alignment word and the epoch as written.
static std::string header_row(const char* align, const char* epoch_field) {
    return std::string("<tr align=\"") + align +
           "\" bgcolor=\"#00aaaa\">\n"
           "  <th>\n"
           "&#945;<sub>" +
           epoch_field +
           "</sub>\n"
           "  </th>\n"
           "  <th>\n"
           "&#948;<sub>" +
           epoch_field +
           "</sub>\n"
           "  </th>\n"
           "  <th>\n"
           "z<sub>spectroscopic</sub>\n"
           "  </th>\n"
           "  <th>\n"
           "Identification\n"
           "  </th>\n"
           "  <th>\n"
           "<a href=\"references.htm\">Reference</a>\n"
           "  </th>\n"
           "</tr>\n";
}

// One data row: its opening tag as written, then five cells aligned by `align`.
static std::string data_row(const char* opening, const char* align,
                            std::initializer_list<const char*> cells) {
    std::string row = opening;
    for (const char* cell : cells)
        row += std::string("  <td align=\"") + align + "\">\n" + cell + "\n  </td>\n";
    return row + "</tr>\n";
}

// The file number of `name`, to tell a file written in place from one moved over it
// (0 where the platform has none to tell).
static unsigned long long inode(const char* name) {
#ifdef _WIN32
    (void)name;
    return 0;
#else
    struct stat status = {};
    EXPECT_EQ(lstat(name, &status), 0) << name;
    return status.st_ino;
#endif
}

// The files in the working directory whose names begin as the page's new file does,
// other than `planted`.
static std::vector<std::string> new_pages(const char* planted = "") {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) {
        std::string name = entry.path().filename().string();
        if (name.rfind(new_page_prefix, 0) == 0 && name != planted)
            names.push_back(name);
    }
    return names;
}

// The page as written, its line ends read as LF where it is a text-mode stream.
static std::string read_page() {
    std::ifstream in(page_name, std::ios::binary);
    std::string page(std::istreambuf_iterator<char>(in), {});
#ifdef _WIN32
    std::string out;
    for (std::size_t i = 0; i < page.size(); i++)
        if (!(page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n'))
            out += page[i];
    page = out;
#endif
    return page;
}

class results_page : public scratch_dir {
  protected:
    std::string output; // what the page generator wrote on standard output

    // Writes the input files and runs every stage before the page, in the program's order.
    void prepare(const char* style, const std::string& form, const std::string& catalogue) {
        reset_program_state();
        fs::remove("style.var");
        if (style)
            write_file("style.var", style);
        write_file("query.frm", form);
        write_file("CG2000.dat", catalogue);
        write_file("CG1950.dat", catalogue);
        testing::internal::CaptureStdout();
        init_style_variables();
        int query = init_query_parameters();
        int read = Read_record_list(epoch == 1950 ? "CG1950.dat" : "CG2000.dat");
        Correct_record_list();
        result_list_generator();
        std::string said = testing::internal::GetCapturedStdout();
        EXPECT_EQ(query, 1) << said;
        EXPECT_EQ(read, catalogue_read) << said;
    }
    // Runs the page generator, in a process that does not have root's rights when
    // `unprivileged`, so that permission bits stop it. Returns its result.
    int generate(bool unprivileged = false) {
        testing::internal::CaptureStdout();
#ifdef _WIN32
        (void)unprivileged; // no other user to become: the permission cases skip there
        int result = Query_Result_generator();
#else
        int result =
            unprivileged && geteuid() == 0 ? generate_as_nobody() : Query_Result_generator();
#endif
        output = testing::internal::GetCapturedStdout();
        return result;
    }
    // Runs the page generator in a child that has given up root for the user nobody; its
    // messages reach the same standard output. Returns the child's result, -1 if it died.
#ifndef _WIN32
    static int generate_as_nobody() {
        std::fflush(nullptr);
        pid_t child = fork();
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
                _exit(99);
            int result = Query_Result_generator();
            std::fflush(nullptr);
            _exit(result);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return -1;
        return WEXITSTATUS(status);
    }
#endif
};

TEST_F(results_page, PageOfTheQuery) {
    const std::string catalogue = std::string(example_entry) +
                                  "09$59$59.99$+10$00$00$1$ OUT 1 $Nobody 1999$\n"
                                  "14$30$00$+45$30$00$3$Q 50%d%%$Doe & Roe, 2010$\n"
                                  "12$00$5.25$-00$30$00$0.5$NEAR-EQ$Lee 2020$\n";
    struct {
        const char* name;
        const char* style;
        std::string form, catalogue, middle;
    } cases[] = {
        {"example form and entry", nullptr, example_form("-05:00:00"), example_entry,
         example_middle},
        {"example entry on the minimal declination, start-up style", nullptr,
         example_form("-05:30:00"), example_entry,
         summary_to_0530 + std::string(one_of_one) +
             "<table border=\"00\" width=\"00% \" height=\"00% \" align=\"center\">\n" +
             header_row("", "2000 ") +
             data_row("<tr align=\"\">\n", "",
                      {"10:20:30.5    ", "-05:30:0       ", "2.345   ", " ABC 123 ",
                       "Smith et al. 2001"}) +
             "</table>\n"},
        {"no border, width -1, no row colours",
         "border=-1\nwidth=-1\nheight=100\ncolor= \nheader=r\ncells=x\n", example_form("-05:30:00"),
         example_entry,
         summary_to_0530 + std::string(one_of_one) +
             "<table width=\"4294967295% \" height=\"100% \" align=\"center\">\n" +
             header_row("right", "2000 ") +
             data_row("<tr align=\"\">\n", "",
                      {"10:20:30.5    ", "-05:30:0       ", "2.345   ", " ABC 123 ",
                       "Smith et al. 2001"}) +
             "</table>\n"},
        {"epoch 1950, three of four records, alternating colours",
         "border=1\nwidth=80\nheight=50\ncolor=y\nheader=c\ncells=l\n",
         "Epoch=1950\n"
         "Minimal ascension= 10:00:00\n"
         "Maximal ascension= 14:30:00.9\n"
         "Minimal declination=-05:30:00\n"
         "Maximal declination=+45:30:00\n"
         "Minimal redshift= 0.5\n"
         "Maximal redshift= 3\n",
         catalogue,
         "1950  <br>\n"
         "Ascension interval: 10:00:00\n"
         "<= &#945; <=14:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
         "Declination interval: -05:30:00\n"
         "<= &#948; <=45:30:00&nbsp;&nbsp;&nbsp;&nbsp;\n"
         "Redshift interval: 0.5   <= z <=3     </h4></font>\n"
         "<font color=\"#008080\"><h4><br>There are 3     records corresponding to these "
         "parameters.\n"
         "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
         "Total number of records is 4    .</h4></font>\n"
         "<hr><table border=\"01\" width=\"80% \" height=\"50% \" align=\"center\">\n" +
             header_row("center", "1950 ") +
             data_row("<tr bgcolor=\"white\" align=\"left\">\n", "left",
                      {"10:20:30.5    ", "-05:30:0       ", "2.345   ", " ABC 123 ",
                       "Smith et al. 2001"}) +
             data_row(
                 "<tr bgcolor=\"#c0c0c0\" align=\"left\">\n", "left",
                 {"14:30:0       ", "45:30:0       ", "3       ", "Q 50%d%%", "Doe & Roe, 2010"}) +
             data_row("<tr bgcolor=\"white\" align=\"left\">\n", "left",
                      {"12:00:5.25    ", "-00:30:0       ", "0.5     ", "NEAR-EQ", "Lee 2020"}) +
             "</table>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prepare(c.style, c.form, c.catalogue);
        write_file("results.html", "an earlier page");
        auto earlier = inode(page_name);
        EXPECT_EQ(generate(), 0);
        if (earlier != 0) {
            EXPECT_NE(inode(page_name), earlier) << "the page was written in place";
        }
        EXPECT_EQ(output, "");
        EXPECT_EQ(read_page(), page_head + c.middle + page_foot);
        EXPECT_EQ(new_pages(), std::vector<std::string>{});
    }
}

TEST_F(results_page, PageThatCannotBeWrittenAsUsual) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full to fail writes on";
    const char earlier[] = "an earlier page";
    const std::string no_page = "error of creation of results.html\n";
    enum outcome { page_written, still_a_directory, not_looked_at };
    struct {
        const char* name;
        void (*setup)();
        bool unprivileged;
        int result;
        std::string output;
        outcome page;
    } cases[] = {
        {"directory not writable, the page is: written in place",
         [] {
             fs::permissions(page_name, fs::perms(0666));
             fs::permissions(".", fs::perms(0555));
         },
         true, 0, "", page_written},
        {"page name taken by a directory",
         [] {
             fs::remove(page_name);
             fs::create_directory(page_name);
         },
         false, 1, no_page, still_a_directory},
        {"written in place on a full device",
         [] {
             fs::remove(page_name);
             fs::create_symlink("/dev/full", page_name);
             fs::permissions(".", fs::perms(0555));
         },
         true, 1, no_page, not_looked_at},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::permissions(".", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(page_name);
        prepare(nullptr, example_form("-05:00:00"), example_entry);
        write_file(page_name, earlier);
        c.setup();
        auto before = inode(page_name);

        EXPECT_EQ(generate(c.unprivileged), c.result);
        fs::permissions(".", fs::perms::owner_all, fs::perm_options::add);

        EXPECT_EQ(output, c.output);
        if (c.page == page_written) {
            EXPECT_EQ(read_page(), page_head + example_middle + page_foot);
            EXPECT_EQ(inode(page_name), before) << "the page was not written in place";
        } else if (c.page == still_a_directory) {
            EXPECT_TRUE(fs::is_directory(page_name));
        }
        EXPECT_EQ(new_pages(), std::vector<std::string>{}) << "a new page was left behind";
    }
}

// What someone else put beside the page: each case plants one thing, under the name an
// earlier version of the program wrote its page to first.
struct planted_case {
    const char* name;
    void (*plant)(const char* name, const fs::path& outside);
};

class foreign_files : public results_page {
  protected:
    // Plants each case in turn beside an earlier page, with a file of the user's outside
    // the directory, and runs the page generator. Whatever was planted is neither opened,
    // changed, moved nor removed, nothing outside changes, and the page is still written
    // whole and moved over the earlier one.
    void check_left_alone(std::initializer_list<planted_case> cases) {
        const char planted[] = "results.html.part";
        const std::string outside_text = "a file of the user's, outside the directory";
        fs::path outside = here.parent_path() / (here.filename().string() + "-outside");
        for (const planted_case& c : cases) {
            SCOPED_TRACE(c.name);
            fs::remove_all(planted);
            fs::remove(page_name);
            write_file(outside.string().c_str(), outside_text);
            prepare(nullptr, example_form("-05:00:00"), example_entry);
            write_file(page_name, "an earlier page");
            c.plant(planted, outside);
            auto planted_before = fs::symlink_status(planted).type();
            bool regular = planted_before == fs::file_type::regular;
            bool link = planted_before == fs::file_type::symlink;
            std::string planted_text = regular ? read_file(planted) : "";
            fs::path target = link ? fs::read_symlink(planted) : fs::path();

            EXPECT_EQ(generate(), 0);

            EXPECT_EQ(output, "");
            EXPECT_EQ(read_page(), page_head + example_middle + page_foot);
            EXPECT_FALSE(fs::is_symlink(page_name)) << "the page was moved from the planted name";
            EXPECT_EQ(read_file(outside.string().c_str()), outside_text);
            EXPECT_EQ(fs::symlink_status(planted).type(), planted_before);
            EXPECT_FALSE(fs::exists(outside.string() + "-absent")) << "a link was followed";
            if (regular) {
                EXPECT_EQ(read_file(planted), planted_text);
            }
            if (link) {
                EXPECT_EQ(fs::read_symlink(planted), target);
            }
            EXPECT_EQ(new_pages(planted), std::vector<std::string>{});
        }
        fs::remove(outside);
    }
};

TEST_F(foreign_files, FilesBesideThePageAreLeftAlone) {
    check_left_alone({
        {"a file of that name",
         [](const char* name, const fs::path&) { write_file(name, "the user's own file"); }},
        {"a directory of that name",
         [](const char* name, const fs::path&) { fs::create_directory(name); }},
    });
}

TEST_F(foreign_files, LinksBesideThePageAreNotFollowed) {
    std::error_code error;
    fs::create_symlink("probe-target", "probe-link", error);
    if (error)
        GTEST_SKIP() << "links cannot be made here: " << error.message();
    fs::remove("probe-link");
    check_left_alone({
        {"a link to a file outside",
         [](const char* name, const fs::path& to) { fs::create_symlink(to, name); }},
        {"a link to nothing",
         [](const char* name, const fs::path& to) {
             fs::create_symlink(to.string() + "-absent", name);
         }},
    });
}
