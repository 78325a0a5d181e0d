#include "tests/support/PlatformDefinition.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

void* platformDefinition(const char* mangledName) {
    void* definition = dlsym(RTLD_NEXT, mangledName);
    if (!definition) {
        std::fprintf(stderr, "the platform library defines no %s\n", mangledName);
        std::abort();
    }
    return definition;
}
