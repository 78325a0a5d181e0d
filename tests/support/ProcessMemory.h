#pragma once

#include <cstddef>
#include <ostream>

// How much memory the process holds, for tests that repeat work many times
// and must not grow.
struct ProcessMemory {
    // The resident set, as the kernel counts it; 0 when it cannot be read.
    std::size_t residentBytes = 0;
    // What the process has taken from the heap and not given back, over
    // every thread's arena and the blocks mapped on their own: unlike the
    // resident set, it does not move with pages the allocator keeps or
    // returns.
    std::size_t heapBytes = 0;

    static ProcessMemory now();
};

// "resident N KiB, heap M KiB"
std::ostream& operator<<(std::ostream& stream, const ProcessMemory& memory);

// Under AddressSanitizer freed memory is held back in quarantine and the
// heap is the sanitizer's own; leaks are the leak checker's to find there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryIsQuarantined = true;
#else
inline constexpr bool kMemoryIsQuarantined = false;
#endif
