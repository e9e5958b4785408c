// Skipping to a stop character: the "=" of a settings entry, the "$" of a catalogue field.
#include "query/descriptor_shift.h"

#include "flow/messages.h"
#include "input/input_file.h"

// Reads characters until one equals `stop`, at most descriptor_shift_limit of them, and
// leaves the input just after it. Returns 0 when the stop was found; otherwise writes the
// stop-signal message and returns 1, the input left where the search ended. A file whose
// reading has failed gets no message: its reader reports it as a file that cannot be read.
int descriptor_shift(input_file& file, char stop) {
    if (file.skip_if(stop))
        return 0; // the usual case in a catalogue: the "$" right after a number
    std::size_t skipped;
    if (file.consume_through(stop, descriptor_shift_limit, nullptr, 0, skipped))
        return 0;
    if (!file.failed())
        say_stop_signal_lost(stop);
    return 1;
}
