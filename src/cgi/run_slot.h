// take_run_slot: at most a set number of galsift runs at once, whatever the number of
// front ends the web server starts.
#ifndef GALSIFT_CGI_RUN_SLOT_H
#define GALSIFT_CGI_RUN_SLOT_H

#include "cgi/site.h"

int take_run_slot(const site& here);
void give_back_run_slot(int slot);

#endif
