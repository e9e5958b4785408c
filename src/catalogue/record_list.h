// Read_record_list and Correct_record_list: the catalogue file into the record list.
#ifndef GALSIFT_CATALOGUE_RECORD_LIST_H
#define GALSIFT_CATALOGUE_RECORD_LIST_H

// Results of Read_record_list.
const int catalogue_read = 0;      // the list holds the file's entries
const int catalogue_unopened = 1;  // the file could not be opened or read
const int catalogue_no_memory = 2; // a record could not be allocated

struct input_file;
struct record;

int Read_record_list(const char* name);
// Reads the fields of an entry after its first (the hours of its right ascension, which
// the caller has read and stored) into `entry`, and the white space after it, as
// Read_record_list reads every entry.
void read_entry_rest(input_file& file, record& entry);
int Correct_record_list();

#endif
