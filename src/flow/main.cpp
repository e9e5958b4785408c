// galsift: answers one query against a catalogue of galaxies with spectroscopic
// redshifts. No arguments; fixed file names in the working directory; messages on
// standard output; the exit status is always 0.
#include "flow/stages.h"

int main() {
    run_stages(read_catalogue); // its records are kept until the program ends
    return 0;
}
