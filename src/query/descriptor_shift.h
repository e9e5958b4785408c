// descriptor_shift: skips input up to and including a stop character.
#ifndef GALSIFT_QUERY_DESCRIPTOR_SHIFT_H
#define GALSIFT_QUERY_DESCRIPTOR_SHIFT_H

struct input_file;

// How many characters descriptor_shift reads at the most while looking for the stop.
const int descriptor_shift_limit = 1001;

int descriptor_shift(input_file& file, char stop);

#endif
