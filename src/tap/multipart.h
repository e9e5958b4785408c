// Reading a multipart/form-data body (RFC 7578): its parts, each with its name, whether it
// came as a file, and its bytes.
#ifndef GALSIFT_TAP_MULTIPART_H
#define GALSIFT_TAP_MULTIPART_H

#include <string>
#include <vector>

struct form_part {
    std::string name;    // the name of its Content-Disposition
    bool file = false;   // it has a filename
    std::string content; // its bytes
};

// The boundary named by the Content-Type `type` ("multipart/form-data; boundary=x"), or
// "" when it is no multipart/form-data or names none.
std::string multipart_boundary(const std::string& type);

// Reads `body`, a multipart/form-data body with `boundary`, into `parts`. Returns true, or
// false with what is wrong in `why` (no first boundary, a part without its headers' end
// or without a name, no closing boundary).
bool read_multipart(const std::string& body, const std::string& boundary,
                    std::vector<form_part>& parts, std::string& why);

#endif
