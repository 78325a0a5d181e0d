#pragma once

// For a test executable that defines a platform operation itself, taking
// the place of the platform library's for the whole process: the
// library's own definition, to forward to.

// The next definition of the mangled name in the lookup order after the
// executable's, the platform library's. Aborts when there is none, as a
// name that no longer matches the platform's would otherwise pass silently.
void* platformDefinition(const char* mangledName);

// The same as a plain function: a method takes its object as the first
// argument.
template <typename Function>
Function platformDefinitionAs(const char* mangledName) {
    return reinterpret_cast<Function>(platformDefinition(mangledName));
}
