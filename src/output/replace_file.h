// replace_file: the one call that differs between the platforms.
#ifndef GALSIFT_OUTPUT_REPLACE_FILE_H
#define GALSIFT_OUTPUT_REPLACE_FILE_H

bool replace_file(const char* from, const char* to);

#endif
