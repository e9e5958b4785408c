// Numbers as the page writes them, the same bytes on every platform.
//
// Each function writes into `out` (at least number_room bytes) what the C library's
// formatted output writes in the C locale for the conversion named, and returns the
// number of bytes written. The platform's printf is never used: some runtimes write
// three-digit exponents or other words for infinities.
#ifndef GALSIFT_OUTPUT_NUMBER_FORMAT_H
#define GALSIFT_OUTPUT_NUMBER_FORMAT_H

#include <cstddef>

// Room enough for any of the conversions below with a width of at most 16.
const std::size_t number_room = 64;

std::size_t format_signed(char* out, int value, int width, int digits);
std::size_t format_unsigned(char* out, unsigned value, int width, int digits);
std::size_t format_general(char* out, double value, int width, int precision);
int whole_part(double value);

#endif
