#include "tests/support/ProcessMemory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace {

std::size_t residentSetBytes() {
    // Total program size, then the resident part, both in pages.
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, residentPages = 0;
    if (!(statm >> pages >> residentPages)) return 0;
    return residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::size_t heapBytesInUse() {
    const struct mallinfo2 heap = mallinfo2();
    return heap.uordblks + heap.hblkhd;
}

} // namespace

ProcessMemory ProcessMemory::now() { return {residentSetBytes(), heapBytesInUse()}; }

std::ostream& operator<<(std::ostream& stream, const ProcessMemory& memory) {
    return stream << "resident " << memory.residentBytes / 1024 << " KiB, heap " << memory.heapBytes / 1024 << " KiB";
}
