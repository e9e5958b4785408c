// string: a fixed text of 100 bytes ended by a zero byte, at most 99 characters.
//
// Catalogue texts (identification, reference) and the page's style words are held in it.
// A text read from a file that is longer than 99 characters keeps its first 99.
#ifndef GALSIFT_CATALOGUE_STRING_H
#define GALSIFT_CATALOGUE_STRING_H

struct input_file;

struct string {
    static const int size = 100; // bytes, terminator included
    char text[size];

    string() { text[0] = 0; }
    explicit string(const char* literal);

    // Reads the bytes up to the next `stop` (or the end of the input) as the text, the stop
    // consumed and not kept; past 99 bytes the rest is consumed and dropped. Always
    // returns 0.
    int Read_string(input_file& file, char stop);
};

#endif
