#pragma once

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

// For libraries loaded with LD_PRELOAD that wrap a function of the system's:
// the definition that theirs displaces, the next one in the search order.
// Without one the process cannot go on; the library says so under its name.
template <typename Function>
Function nextDefinition(const char* name, const char* library) {
    const auto function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    if (!function) {
        std::fprintf(stderr, "%s: nothing defines %s\n", library, name);
        std::abort();
    }
    return function;
}
