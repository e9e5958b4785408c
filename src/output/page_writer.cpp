// Creating, filling and closing the page file.
#include "output/page_writer.h"

#include "output/number_format.h"

#include <cassert>
#include <cstring>

bool page_writer::create(const char* name) {
    return start(std::fopen(name, "w"));
}

bool page_writer::start(std::FILE* opened) {
    file = opened;
    used = 0;
    failed = false;
    return file != nullptr;
}

void page_writer::flush() {
    if (used && std::fwrite(buffer, 1, used, file) != used)
        failed = true;
    used = 0;
}

bool page_writer::finish() {
    flush();
    if (std::fflush(file) != 0)
        failed = true;
    if (std::fclose(file) != 0)
        failed = true;
    file = nullptr;
    return !failed;
}

// The slow side of put(): `length` bytes that do not fit in what is left of the buffer.
// The buffer is handed to the file first; bytes that would fill it whole go straight on.
void page_writer::put_long(const char* bytes, std::size_t length) {
    flush();
    if (length >= size) {
        if (std::fwrite(bytes, 1, length, file) != length)
            failed = true;
        return;
    }
    assert(length <= size - used);
    std::memcpy(buffer + used, bytes, length);
    used += length;
}

// Hands the buffer to the file unless number_room bytes are left in it, the most that
// one number takes.
void page_writer::make_room_for_number() {
    assert(used <= size);
    if (size - used < number_room)
        flush();
    assert(size - used >= number_room);
}

// Appends a number as "%-W.Di" writes it.
void page_writer::put_signed(int value, int width, int digits) {
    make_room_for_number();
    std::size_t written = format_signed(buffer + used, value, width, digits);
    assert(written <= number_room);
    used += written;
}

// Appends a number as "%-W.Du" writes it.
void page_writer::put_unsigned(unsigned value, int width, int digits) {
    make_room_for_number();
    std::size_t written = format_unsigned(buffer + used, value, width, digits);
    assert(written <= number_room);
    used += written;
}

// Appends a number as "%-W.Pg" writes it.
void page_writer::put_general(double value, int width, int precision) {
    make_room_for_number();
    std::size_t written = format_general(buffer + used, value, width, precision);
    assert(written <= number_room);
    used += written;
}
