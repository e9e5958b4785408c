// Entries of the record list, and the reader of the selection chain.
#include "catalogue/entry.h"

#include "catalogue/record.h"

catalogue_entry entry_of(const record& entry) {
    catalogue_entry shown;
    shown.ascension = entry.ascension;
    shown.declination = entry.declination;
    shown.redshift = entry.redshift;
    shown.identification = entry.identification.text;
    shown.reference = entry.reference.text;
    return shown;
}

// The step of a chain reader: the record at `*state`, then the one after it.
static bool read_chain(void* state, catalogue_entry& entry) {
    const record*& at = *static_cast<const record**>(state);
    if (!at)
        return false;
    entry = entry_of(*at);
    at = at->next_selected;
    return true;
}

entry_reader chain_reader(const record** first) {
    entry_reader reader;
    reader.read = read_chain;
    reader.state = first;
    return reader;
}
