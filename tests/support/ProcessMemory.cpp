#include "tests/support/ProcessMemory.h"

#include <unistd.h>

#include <fstream>

std::size_t residentSetBytes() {
    // Total program size, then the resident part, both in pages.
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, residentPages = 0;
    if (!(statm >> pages >> residentPages)) return 0;
    return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}
