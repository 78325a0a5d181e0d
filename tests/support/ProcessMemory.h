#pragma once

#include <cstddef>

// The process's resident set now, in bytes, as the kernel counts it; 0 when
// it cannot be read.
std::size_t residentSetBytes();

// Under AddressSanitizer freed memory is held back in quarantine and the
// resident set grows with every allocation, leak or not; leaks are the leak
// checker's to find there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kMemoryIsQuarantined = true;
#else
inline constexpr bool kMemoryIsQuarantined = false;
#endif
