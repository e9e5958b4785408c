// Read_record_list and Correct_record_list: the catalogue file into the record list.
#ifndef GALSIFT_CATALOGUE_RECORD_LIST_H
#define GALSIFT_CATALOGUE_RECORD_LIST_H

// Results of Read_record_list.
const int catalogue_read = 0;      // the list holds the file's entries
const int catalogue_unopened = 1;  // the file could not be opened or read
const int catalogue_no_memory = 2; // a record could not be allocated

int Read_record_list(const char* name);
int Correct_record_list();

#endif
