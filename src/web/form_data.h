// read_form_data: the form data of a request, whichever protocol carries it (CGI, FastCGI).
#ifndef GALSIFT_WEB_FORM_DATA_H
#define GALSIFT_WEB_FORM_DATA_H

#include <cstddef>
#include <string>

// How a front end reaches its request: the value of a request variable (REQUEST_METHOD,
// CONTENT_TYPE, ...; null when unset), and up to `size` bytes of the body (fewer only at
// its end).
struct request_reader {
    const char* (*variable)(void* context, const char* name);
    std::size_t (*read)(void* context, char* into, std::size_t size);
    void* context;
};

bool read_form_data(const request_reader& request, std::string& data, std::string& why);

#endif
