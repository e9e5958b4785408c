// Building a string from a literal and reading one from a file.
#include "catalogue/string.h"

#include "input/input_file.h"

#include <cassert>
#include <cstdint>
#include <cstring>

// Copies one of the program's own short literals, terminator included: at most 39 bytes.
string::string(const char* literal) {
    std::size_t length = std::strlen(literal);
    assert(length < 39);
    std::memcpy(text, literal, length + 1);
}

// Reads every byte up to the next `stop` and holds it as the text; the stop itself is
// consumed and not kept. Spaces and line ends are part of the text. Past 99 bytes the
// rest of the field is consumed and dropped, so the following fields stay in step; the
// end of the file ends the field. Always returns 0.
int string::Read_string(input_file& file, char stop) {
    std::size_t held;
    file.consume_through(stop, SIZE_MAX, text, size - 1, held);
    text[held] = 0;
    return 0;
}
