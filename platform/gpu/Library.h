#pragma once

#include "platform/PlatformExport.h"

#include <memory>
#include <string>

namespace gpu {

// One entry point of a compiled program library.
class KF_PLATFORM_API Function {
public:
    virtual ~Function() = default;
    virtual std::string name() const = 0;
};

// A compiled program library holding entry points by name.
class KF_PLATFORM_API Library {
public:
    virtual ~Library() = default;
    // Null when the library has no entry point of that name.
    virtual std::shared_ptr<Function> newFunctionWithName(const std::string& name) = 0;
};

} // namespace gpu
