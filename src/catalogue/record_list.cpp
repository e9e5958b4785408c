// Reading the catalogue: one entry a line, nine fields each ended by "$".
#include "catalogue/record_list.h"

#include "catalogue/record_pool.h"
#include "flow/globals.h"
#include "flow/messages.h"
#include "input/input_file.h"
#include "query/descriptor_shift.h"

// Reads one numeric field and skips past its "$"; text before the "$" is ignored and a
// number that does not convert leaves the field as constructed.
static void read_number_field(input_file& file, double& field) {
    file.read_double(field);
    descriptor_shift(file, '$');
}

// Reads the rest of an entry whose first field (hours) has been read.
void read_entry_rest(input_file& file, record& entry) {
    descriptor_shift(file, '$');
    read_number_field(file, entry.ascension.minutes);
    read_number_field(file, entry.ascension.seconds);
    read_number_field(file, entry.declination.degrees);
    read_number_field(file, entry.declination.minutes);
    read_number_field(file, entry.declination.seconds);
    read_number_field(file, entry.redshift);
    entry.identification.Read_string(file, '$');
    entry.reference.Read_string(file, '$');
    file.skip_space();
}

// Reads the catalogue file `name` into the list behind DB_First, in file order, until
// the end of the file or the first entry whose first field is not a number. Returns
// catalogue_read; catalogue_unopened when the file cannot be opened or its reading fails
// part-way; catalogue_no_memory when a record cannot be allocated. Both failures
// write their message.
int Read_record_list(const char* name) {
    input_file file;
    if (!file.open(name)) {
        say_with_name(messages::no_catalogue_file, name);
        return catalogue_unopened;
    }
    record* tail = &DB_First;
    double hours;
    while (file.read_double(hours) == item_converted) {
        record* entry = new_record();
        if (!entry) {
            file.close();
            say_with_name(messages::no_memory, name);
            return catalogue_no_memory;
        }
        tail->next = entry;
        tail = entry;
        entry->ascension.degrees = hours;
        read_entry_rest(file, *entry);
    }
    if (!file.close()) {
        say_with_name(messages::no_catalogue_file, name);
        return catalogue_unopened;
    }
    return catalogue_read;
}

// Moves each catalogue declination's sign into its `sign` field and counts the records
// into total_number. Always returns 0.
int Correct_record_list() {
    for (record* entry = DB_First.next; entry; entry = entry->next) {
        entry->declination.corrector();
        total_number++;
    }
    return 0;
}
