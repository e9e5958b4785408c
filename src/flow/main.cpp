// galsift: answers one query against a catalogue of galaxies with spectroscopic
// redshifts. No arguments; fixed file names in the working directory; messages on
// standard output; the exit status is always 0.
#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "page/results_page.h"
#include "page/style.h"
#include "query/query_form.h"

// The catalogue file of an epoch, or null for an epoch without one.
static const char* catalogue_name(int of_epoch) {
    if (of_epoch == 2000)
        return "CG2000.dat";
    if (of_epoch == 1950)
        return "CG1950.dat";
    return nullptr;
}

// Runs every stage once, in order, and ends with the verdict.
int main() {
    init_style_variables(); // without a style file the start-up style serves
    if (init_query_parameters() == 0) {
        say(messages::query_error);
        return 0;
    }
    const char* catalogue = catalogue_name(epoch);
    if (!catalogue) {
        say(messages::invalid_epoch);
        return 0;
    }
    if (Read_record_list(catalogue) != catalogue_read) {
        say(messages::page_not_created); // a catalogue not read whole answers nothing
        return 0;
    }
    Correct_record_list();
    result_list_generator();
    if (Query_Result_generator() != 0)
        say(messages::page_not_created);
    else
        say(messages::page_created);
    return 0;
}
