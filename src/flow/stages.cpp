// The order of the stages and the verdict that ends a run.
#include "flow/stages.h"

#include "catalogue/record_list.h"
#include "catalogue/selection.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "page/results_page.h"
#include "page/style.h"
#include "query/query_form.h"

// The catalogue file of an epoch, or null for an epoch without one.
const char* catalogue_name(int of_epoch) {
    if (of_epoch == 2000)
        return "CG2000.dat";
    if (of_epoch == 1950)
        return "CG1950.dat";
    return nullptr;
}

// Reads the catalogue file `name` into the list behind DB_First and corrects it: the
// console program's way of loading. Returns what Read_record_list returns.
int read_catalogue(const char* name) {
    int read = Read_record_list(name);
    if (read == catalogue_read)
        Correct_record_list();
    return read;
}

// Runs every stage once, in order, and ends with the verdict. `load_catalogue` puts the
// catalogue `name` behind DB_First and total_number and returns catalogue_read, or
// another result of Read_record_list after saying why. The program-wide state must hold
// its start-up values. `write_answer`, when given, writes the answer in place of the page
// (a download of the selection) and returns results_page_written once it has.
void run_stages(int (*load_catalogue)(const char* name), int (*write_answer)()) {
    init_style_variables(); // without a style file the start-up style serves
    if (init_query_parameters() != query_valid) {
        say(messages::query_error);
        return;
    }
    const char* catalogue = catalogue_name(epoch);
    if (!catalogue) {
        say(messages::invalid_epoch);
        return;
    }
    if (load_catalogue(catalogue) != catalogue_read) {
        say(messages::page_not_created); // a catalogue not read whole answers nothing
        return;
    }
    result_list_generator();
    if ((write_answer ? write_answer() : Query_Result_generator()) != results_page_written)
        say(messages::page_not_created);
    else
        say(messages::page_created);
}
