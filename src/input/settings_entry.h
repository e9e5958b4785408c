// Entries of the two settings files ("query.frm", "style.var"): free text up to an "=",
// then a value read as the formatted-input conversions read it.
#ifndef GALSIFT_INPUT_SETTINGS_ENTRY_H
#define GALSIFT_INPUT_SETTINGS_ENTRY_H

struct input_file;

void read_int_entry(input_file& file, int& value);
void read_char_entry(input_file& file, char& value);
void read_double_entry(input_file& file, double& value);

#endif
