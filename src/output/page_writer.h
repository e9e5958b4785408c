// page_writer: the buffered writer every byte of the results page goes through.
//
// Text is gathered in a buffer and written in large pieces, to a file or to a deliver
// function (a connection, a text in memory); every write and the close are checked, so
// that a page that could not be written completely is known as such.
#ifndef GALSIFT_OUTPUT_PAGE_WRITER_H
#define GALSIFT_OUTPUT_PAGE_WRITER_H

#include <cassert>
#include <cstddef>
#include <cstdio>
#include <cstring>

struct page_writer {
    static const std::size_t size = 1 << 16;
    // Hands `length` bytes on. Returns true when they were taken; false when they could
    // not be (the page is then failed).
    using deliver_function = bool (*)(void* to, const char* bytes, std::size_t length);

    std::FILE* file = nullptr;          // the page being written, when it goes to a file
    deliver_function deliver = nullptr; // else where its bytes go, with `to`
    void* to = nullptr;
    char buffer[size];    // bytes not yet handed to the file
    std::size_t used = 0; // bytes held in `buffer`
    bool failed = false;  // some write has failed

    // Creates (or empties) `name` for writing in text mode. Returns true when it is open;
    // false when it cannot be created.
    bool create(const char* name);
    // Starts a page in `opened`, a file open for writing, or nullptr. Returns true when
    // there is a file; false for nullptr.
    bool start(std::FILE* opened);
    // Starts a page whose bytes go to `function` with `where`, in pieces of up to `size`
    // bytes and more. Always returns true.
    bool start_delivering(deliver_function function, void* where);
    // Writes what is held and closes the file (a deliver function gets the last bytes).
    // Returns true when every byte was written and the file closed without error; false
    // when any write or the close failed.
    bool finish();
    // Hands the buffered bytes to the file; a failed write sets `failed`.
    void flush();

    // Appends `length` bytes as they stand.
    void put(const char* bytes, std::size_t length) {
        assert(used <= size);
        if (length <= size - used) {
            std::memcpy(buffer + used, bytes, length);
            used += length;
        } else {
            put_long(bytes, length);
        }
    }
    // Appends a text as it stands: a "%" in it is a percent sign, nothing else.
    void put(const char* text) { put(text, std::strlen(text)); }
    void put_long(const char* bytes, std::size_t length);
    void hand_on(const char* bytes, std::size_t length);
    void make_room_for_number();
    // A number as "%-W.Di", "%-W.Du" and "%-W.Pg" write it, `width` at most 16.
    void put_signed(int value, int width, int digits);
    void put_unsigned(unsigned value, int width, int digits);
    void put_general(double value, int width, int precision);
};

#endif
