// Fuzz target: the catalogue reader and the sign pass.
//
// The input is the whole catalogue file. The program's reader must neither crash nor
// read out of bounds, must build the same list as the file read one C-library conversion
// at a time (texts cut at 99 bytes), must write the same messages; the sign pass must
// count every record and leave each declination's sign in `sign`.
#include "catalogue/record_list.h"
#include "flow/globals.h"
#include "fuzz_support.h"
#include "reference_reader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// Whether two angles hold the very same fields and sign.
static bool same_arc_fields(const arc& a, const arc& b) {
    return same_double(a.degrees, b.degrees) && same_double(a.minutes, b.minutes) &&
           same_double(a.seconds, b.seconds) && a.sign == b.sign;
}

// Compares one record of the list with the reference reading of its entry.
static void compare(const record& entry, const reference_record& expected, std::size_t index) {
    std::string where = "entry " + std::to_string(index);
    if (!same_arc_fields(entry.ascension, expected.ascension))
        finding("right ascension differs", where);
    if (!same_arc_fields(entry.declination, expected.declination))
        finding("declination differs", where);
    if (!same_double(entry.redshift, expected.redshift))
        finding("redshift differs", where);
    if (std::memcmp(entry.identification.text, expected.identification,
                    expected.identification_length + 1) != 0)
        finding("identification differs", where);
    if (std::memcmp(entry.reference.text, expected.reference, expected.reference_length + 1) != 0)
        finding("reference differs", where);
}

// One input: the catalogue file, read by the program and by the reference, compared.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    enter_scratch_dir();
    reset_fuzz_state();
    write_file("CG2000.dat", data, size);
    begin_capture();
    int result = Read_record_list("CG2000.dat");
    std::string output = end_capture();

    reference_input in;
    if (!in.open("CG2000.dat"))
        finding("CG2000.dat vanished", "");
    std::vector<reference_record> expected;
    std::size_t complete = 0;
    reference_read_catalogue(in, expected, complete);
    in.close();

    if (result != catalogue_read)
        finding("a readable catalogue was not read", std::to_string(result));
    if (DB_First.identification.text[0] || DB_First.reference.text[0] ||
        !same_double(DB_First.redshift, 0) || DB_First.ascension.degrees != 0)
        finding("the head record holds an entry", "");
    std::vector<const record*> list;
    for (const record* entry = DB_First.next; entry; entry = entry->next)
        list.push_back(entry);
    if (!in.diverged && list.size() != expected.size())
        finding("number of records differs",
                std::to_string(list.size()) + " vs " + std::to_string(expected.size()));
    if (list.size() < complete)
        finding("records are missing", std::to_string(list.size()));
    for (std::size_t n = 0; n < complete; n++)
        compare(*list[n], expected[n], n);
    if (!in.diverged && output != in.messages)
        finding("messages differ", "program:\n" + output + "\nexpected:\n" + in.messages);

    Correct_record_list();
    if (total_number < 0 || static_cast<std::size_t>(total_number) != list.size())
        finding("total_number is not the number of records", std::to_string(total_number));
    for (std::size_t n = 0; n < complete; n++) {
        double degrees = expected[n].declination.degrees;
        int sign = (degrees >= 0 && !std::signbit(degrees)) ? 1 : -1;
        double magnitude = std::fabs(degrees) <= 0.000001 ? 0.0 : std::fabs(degrees);
        if (list[n]->declination.sign != sign ||
            !same_double(list[n]->declination.degrees, magnitude))
            finding("sign pass differs", "entry " + std::to_string(n));
    }
    leave_scratch_dir();
    return 0;
}
