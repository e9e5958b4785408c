// descriptor_shift: skips input up to and including a stop character.
#ifndef GALSIFT_QUERY_DESCRIPTOR_SHIFT_H
#define GALSIFT_QUERY_DESCRIPTOR_SHIFT_H

struct input_file;

// How many characters descriptor_shift reads at the most while looking for the stop.
const int descriptor_shift_limit = 1001;

// Results of descriptor_shift.
const int stop_signal_found = 0; // the input stands just after the stop
const int stop_signal_lost = 1;  // not within the limit: the message is written (unless the
                                 // file's reading failed), the input stands where the search
                                 // ended

// Reads characters until one equals `stop`, at most descriptor_shift_limit of them, and
// leaves the input just after it. Returns stop_signal_found; stop_signal_lost when the stop
// is not among them. A file whose reading has failed gets no message: its reader reports it
// as a file that cannot be read.
int descriptor_shift(input_file& file, char stop);

#endif
