// Reading one entry of a settings file after its "=".
#include "input/settings_entry.h"

#include "input/input_file.h"
#include "query/descriptor_shift.h"

// "%d\n" after the next "=": the number, then white space, skipped only after a number
// (one conversion: a failed number ends it).
void read_int_entry(input_file& file, int& value) {
    descriptor_shift(file, '=');
    if (file.read_int(value) == item_converted)
        file.skip_space();
}

// "%c\n" after the next "=": the very next character, then white space.
void read_char_entry(input_file& file, char& value) {
    descriptor_shift(file, '=');
    if (file.read_char(value) == item_converted)
        file.skip_space();
}

// "%lg" then "\n" after the next "=": the number, then white space in any case (two
// separate reads).
void read_double_entry(input_file& file, double& value) {
    descriptor_shift(file, '=');
    file.read_double(value);
    file.skip_space();
}
