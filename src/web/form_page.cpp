// Writing the query form page. Everything a visitor sent is escaped where it is shown.
#include "web/form_page.h"

#include "page/publisher.h"
#include "web/bound_text.h"
#include "web/response.h"

// What each field is typed as, shown beside it.
static const char* const field_hints[field_count] = {
    "2000 or 1950",
    ("hours, minutes, seconds: 13:04:50.5, 13 04 50.5, 13h04m50.5s; or decimal with its unit, "
     "hours 13.0807h or degrees 196.2104d"),
    "as the minimal right ascension",
    "sign, degrees, minutes, seconds: +12:30:00, -0 30 0, 12d30m00s, or decimal degrees -0.5",
    "as the minimal declination",
    "a number: 0.5, 5e-1, or negative for a blueshift (-0.001)",
    "as the minimal redshift",
};

static const char page_links[] =
    "<br><ul><li><a href=\"introduction.htm\"><b>Introduction</b></a>\n"
    "<li><a href=\"references.htm\"><b>References</b></a>\n"
    "</ul><br>\n";

static const char introduction[] =
    "<p>Give a box on the sky and an interval of redshift: the catalogue answers with every\n"
    "galaxy inside all three intervals, ends included. The coordinates are those of the chosen\n"
    "epoch. A right-ascension interval cannot run through 0<sup>h</sup>: split such a box into\n"
    "two queries. The answer has an address of its own: bookmark it or pass it on.</p>\n";

static const char limits[] =
    "<font color=\"#008080\"><h4>Limits:<br>\n"
    "<span id=\"limits\">00:00:00 &lt;= right ascension &lt;= 24:00:00, "
    "-90:00:00 &lt;= declination &lt;= +90:00:00, minutes 0 to 59, seconds below 60; "
    "any redshift, negative ones (blueshifts) included</span></h4></font>\n"
    "<p>The minimum of each interval must not exceed its maximum.</p>\n";

// The choice of answer: the page, or the selection as a file (the query server's).
static const char format_row[] =
    "<tr bgcolor=\"#c0c0c0\">\n"
    "  <td><label for=\"format\">Answer as</label></td>\n"
    "  <td><select name=\"format\" id=\"format\">\n"
    "      <option value=\"html\" selected>results page</option>\n"
    "      <option value=\"votable\">VOTable file (TOPCAT, astropy, STILTS)</option>\n"
    "      <option value=\"csv\">CSV file (units and equinox in the column names)</option>\n"
    "      <option value=\"sky\">sky plot and redshift histogram (SVG picture)</option>\n"
    "    </select></td>\n"
    "  <td id=\"format_note\"></td>\n"
    "</tr>\n";

// The map of where the catalogue has entries, drawn by the query server (coverage.svg
// beside this page; src/picture/coverage_map.h).
static const char coverage_map[] =
    "<font color=\"#008080\"><h3>Where the catalogue has entries</h3></font>\n"
    "<p align=\"center\"><img src=\"coverage.svg\" width=\"820\" height=\"430\"\n"
    "alt=\"Map of the whole sky showing where the catalogue has entries\"></p>\n"
    "<hr>\n\n";

// How to reach the same catalogue from one's own tools.
static const char cone_help[] =
    "<font color=\"#008080\"><h3>From your own tools: cone search</h3></font>\n"
    "<p>This site answers the IVOA Simple Cone Search at <code>cone</code> beside this page\n"
    "(<a "
    "href=\"cone?RA=196.25&amp;DEC=24.5&amp;SR=0.1\">cone?RA=196.25&amp;DEC=24.5&amp;SR=0.1</a>):\n"
    "<code>RA</code>, <code>DEC</code> (J2000) and the radius <code>SR</code> in decimal degrees,\n"
    "<code>VERB</code> 1, 2 or 3 for fewer or more columns. The answer is a VOTable of every "
    "galaxy\n"
    "of the J2000 catalogue within the radius, in catalogue order, with its distance from the\n"
    "centre. In the examples, replace <code>http://SITE</code> by this site's address.</p>\n"
    "<ul>\n"
    "<li><b>TOPCAT</b>: menu VO, Cone Search; Cone URL <code>http://SITE/cone?</code>, then\n"
    "RA, Dec and the radius.</li>\n"
    "<li><b>STILTS</b>:\n"
    "<pre>stilts cone serviceurl='http://SITE/cone?' lon=196.25 lat=24.5 radius=0.1 ofmt=csv "
    "out=cone.csv</pre></li>\n"
    "<li><b>pyvo</b>:\n"
    "<pre>import pyvo\n"
    "service = pyvo.dal.SCSService(\"http://SITE/cone\")\n"
    "table = service.search(pos=(196.25, 24.5), radius=0.1).to_table()\n"
    "print(table[\"id\", \"ra\", \"dec\", \"z\", \"distance\"])</pre></li>\n"
    "<li><b>astroquery</b>:\n"
    "<pre>import astropy.units as u\n"
    "from astropy.coordinates import SkyCoord\n"
    "from astroquery.vo_conesearch import conesearch\n"
    "table = conesearch.conesearch(SkyCoord(196.25, 24.5, unit=\"deg\"), 0.1 * u.deg,\n"
    "                              catalog_db=\"http://SITE/cone?\")\n"
    "print(table)</pre></li>\n"
    "</ul>\n";

static const char error_colour[] = "<font color=\"#c00000\"><b>";

// The epoch's choice, the given epoch selected.
static std::string epoch_select(const std::string& value) {
    bool at_1950 = value == "1950";
    return std::string("<select name=\"epoch\" id=\"epoch\">\n") + "      <option value=\"2000\"" +
           (at_1950 ? "" : " selected") + ">2000</option>\n" + "      <option value=\"1950\"" +
           (at_1950 ? " selected" : "") + ">1950</option>\n    </select>";
}

// A visitor's text as an attribute value: escaped, and the degree sign, the one character
// beyond ASCII a field may hold, as a character reference, right in any character set.
static std::string shown_value(const std::string& text) {
    std::string out = html_escape(text);
    for (std::size_t at; (at = out.find(degree_sign)) != std::string::npos;)
        out.replace(at, sizeof degree_sign - 1, "&#176;");
    return out;
}

// One row of the form: the label, the field, and beside it the reason it was refused or
// what it is typed as.
static std::string field_row(const query_fields& fields, int field) {
    const std::string name = field_names[field];
    const std::string& error = fields.error[field];
    std::string input = field == f_epoch
                            ? epoch_select(fields.value[field])
                            : "<input type=\"text\" name=\"" + name + "\" id=\"" + name +
                                  "\" size=\"24\" maxlength=\"32\" value=\"" +
                                  shown_value(fields.value[field]) + "\"" +
                                  (error.empty() ? "" : " aria-invalid=\"true\"") + ">";
    std::string beside = error.empty() ? field_hints[field]
                                       : error_colour + std::string(field_labels[field]) + ": " +
                                             html_escape(error) + "</b></font>";
    return "<tr bgcolor=\"" + std::string(field % 2 ? "#c0c0c0" : "white") + "\">\n" +
           "  <td><label for=\"" + name + "\">" + field_labels[field] + "</label></td>\n" +
           "  <td>" + input + "</td>\n" + "  <td id=\"" + name + "_note\">" + beside +
           "</td>\n</tr>\n";
}

// The whole page under `title` and the heading of `publisher`'s texts: galsift's
// `messages` (escaped) when there are any, a notice when some field was refused, then the
// form filled with `fields`.
std::string form_page(const std::string& title, const query_fields& fields,
                      const std::string& messages, const publisher_texts& publisher) {
    std::string page = "<html>\n<head>\n<title>" + html_escape(title) +
                       "</title>\n</head>\n<body>\n<font color=\"#008080\"><h2>" +
                       heading_of(publisher) + "<br></h2>\n<h3>" + html_escape(title) +
                       "<br></h3></font>\n" + page_links;
    if (!messages.empty())
        page += "<pre id=\"messages\">" + html_escape(messages) + "</pre>\n";
    for (const std::string& error : fields.error) {
        if (!error.empty()) {
            page += std::string("<p>") + error_colour +
                    "The query was not run: see the fields marked below.</b></font></p>\n";
            break;
        }
    }
    page += introduction;
    page += "\n<form name=\"query\" method=\"get\" action=\"results\">\n"
            "<table border=\"1\" width=\"90%\" align=\"center\">\n"
            "<tr align=\"center\" bgcolor=\"#00aaaa\">\n"
            "  <th>Field</th>\n  <th>Value</th>\n  <th>Written as</th>\n</tr>\n";
    for (int field = 0; field < field_count; field++)
        page += field_row(fields, field);
    page += format_row;
    page += "</table>\n\n";
    page += limits;
    page += "\n<p align=\"center\"><input type=\"submit\" value=\"Search the catalogue\">\n"
            "<input type=\"reset\" value=\"Reset\"></p>\n</form>\n<hr>\n\n";
    page += coverage_map;
    page += cone_help;
    page += "<hr>\n</body>\n</html>\n";
    return page;
}
