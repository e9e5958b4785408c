// What a /results request asks for beyond the query: the page (the default), the same
// selection as a VOTable or CSV download, or its picture (an SVG sky plot and redshift
// histogram, src/picture/sky_plot.h); and, for the page, whether a long table is cut.
//
// Two optional pairs of the form data carry it: "format=html|votable|csv|sky" and
// "rows=all" (the complete page, however long). take_result_choice removes them, so that
// what remains is the query form as the front ends decode it.
#ifndef GALSIFT_VO_RESULT_FORMATS_H
#define GALSIFT_VO_RESULT_FORMATS_H

#include "vo/text_sink.h"
#include "web/coordinate_frame.h"

#include <string>

#include "catalogue/entry.h"

struct publisher_texts;

enum result_format { format_page, format_votable, format_csv, format_sky };

struct result_choice {
    result_format format = format_page;
    bool all_rows = false; // the page shows every row, whatever the site's row limit
};

// The site's limits on long answers, from the web server's environment.
struct answer_limits {
    int page_rows = 10000;  // GALSIFT_PAGE_ROWS: rows of the page's table; 0 = no limit
    int cone_rows = 100000; // GALSIFT_CONE_ROWS: rows of a cone search; 0 = no limit
    int all_rows = 1000000; // GALSIFT_ALL_ROWS: rows of a complete page (rows=all) or of a
                            // download, at most; a longer answer is refused
};

answer_limits answer_limits_settings();
bool take_result_choice(std::string& data, result_choice& choice, std::string& why);
const char* content_type_of(result_format format);
const char* file_name_of(result_format format, int epoch);
void put_selection(result_format format, entry_reader rows, int epoch,
                   const coordinate_frame& frame, const publisher_texts& publisher, text_sink& out);
std::string cut_notice_text(const std::string& data, int shown);

#endif
