// Skipping to a stop character: the "=" of a settings entry, the "$" of a catalogue field.
#include "query/descriptor_shift.h"

#include "flow/messages.h"
#include "input/input_file.h"

// The stop right after the last read is taken at once; the search scans the buffer.
int descriptor_shift(input_file& file, char stop) {
    if (file.skip_if(stop))
        return stop_signal_found; // the usual case in a catalogue: the "$" right after a number
    std::size_t skipped;
    if (file.consume_through(stop, descriptor_shift_limit, nullptr, 0, skipped))
        return stop_signal_found;
    if (!file.failed())
        say_stop_signal_lost(stop);
    return stop_signal_lost;
}
