// Definitions and start-up values of the program-wide state.
#include "flow/globals.h"

int epoch = 2000;
arc minimal_ascension;
arc maximal_ascension;
arc minimal_declination;
arc maximal_declination;
double min_redshift = 0;
double max_redshift = 0;

int border = 0;
int width = 0;
int height = 0;
char color_interchange = 0;
char table_align = 'c';
char header_align = 0;
char cell_align = 0;

int table_row_limit = 0;
const char* cut_notice = nullptr;

record DB_First;
int total_number = 0;

record* First_Selected = nullptr;
int number_of_selected = 0;

void reset_program_state() {
    epoch = 2000;
    minimal_ascension = maximal_ascension = arc();
    minimal_declination = maximal_declination = arc();
    min_redshift = max_redshift = 0;
    border = width = height = 0;
    color_interchange = header_align = cell_align = 0;
    table_align = 'c';
    table_row_limit = 0;
    cut_notice = nullptr;
    DB_First = record();
    total_number = 0;
    First_Selected = nullptr;
    number_of_selected = 0;
}
