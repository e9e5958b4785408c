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
    deliver = nullptr;
    used = 0;
    failed = false;
    return file != nullptr;
}

bool page_writer::start_delivering(deliver_function function, void* where) {
    assert(function);
    file = nullptr;
    deliver = function;
    to = where;
    used = 0;
    failed = false;
    return true;
}

// Hands `length` bytes to the file or the deliver function; nothing more once a write
// has failed.
void page_writer::hand_on(const char* bytes, std::size_t length) {
    if (failed || length == 0)
        return;
    if (file ? std::fwrite(bytes, 1, length, file) != length : !deliver(to, bytes, length))
        failed = true;
}

void page_writer::flush() {
    hand_on(buffer, used);
    used = 0;
}

bool page_writer::finish() {
    flush();
    if (file) {
        if (std::fflush(file) != 0)
            failed = true;
        if (std::fclose(file) != 0)
            failed = true;
        file = nullptr;
    }
    return !failed;
}

// The slow side of put(): `length` bytes that do not fit in what is left of the buffer.
// The buffer is handed to the file first; bytes that would fill it whole go straight on.
void page_writer::put_long(const char* bytes, std::size_t length) {
    flush();
    if (length >= size) {
        hand_on(bytes, length);
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
