// The known frames, and the default of each epoch's catalogue.
#include "web/coordinate_frame.h"

#include <cctype>

static const coordinate_frame frames[3] = {
    {"ICRS", "ICRS", nullptr},
    {"FK5 J2000", "eq_FK5", "J2000"},
    {"FK4 B1950", "eq_FK4", "B1950"},
};

// The frame a catalogue of `epoch` is in unless its publisher says otherwise: FK4 B1950
// for 1950, FK5 J2000 for anything else (2000).
coordinate_frame frame_of_epoch(int epoch) {
    return epoch == 1950 ? frames[2] : frames[1];
}

// The frame called `name` ("ICRS", "FK5 J2000" or "FK4 B1950", letters in either case,
// one or more spaces between the words) into `frame`. Returns false for any other name,
// leaving `frame` as it was.
bool frame_named(const std::string& name, coordinate_frame& frame) {
    std::string plain;
    for (std::size_t n = 0; n < name.size(); n++) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[n])));
        if (c == ' ' && (plain.empty() || plain.back() == ' '))
            continue;
        plain += c;
    }
    while (!plain.empty() && plain.back() == ' ')
        plain.pop_back();
    for (const coordinate_frame& known : frames) {
        if (plain == known.name) {
            frame = known;
            return true;
        }
    }
    return false;
}
