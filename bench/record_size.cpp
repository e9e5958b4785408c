// record_size: prints sizeof(record) on this platform, for the memory bound of bench/run.
#include "catalogue/record.h"

#include <cstdio>

// Prints the size in bytes and a line end.
int main() {
    std::printf("%zu\n", sizeof(record));
    return 0;
}
