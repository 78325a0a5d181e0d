#pragma once

#include "platform/PlatformExport.h"

#include <memory>
#include <string>

namespace foundation {

// An error value as operations hand it to their callers: which subsystem
// raised it (domain), its number there (code) and a text for people.
class KF_PLATFORM_API Error {
public:
    Error(std::string domain, long code, std::string localizedDescription);

    const std::string& domain() const { return domain_; }
    long code() const { return code_; }
    const std::string& localizedDescription() const { return localizedDescription_; }

private:
    std::string domain_;
    long code_;
    std::string localizedDescription_;
};

using ErrorRef = std::shared_ptr<const Error>;

KF_PLATFORM_API ErrorRef makeError(std::string domain, long code, std::string localizedDescription);

// The error's description for a message; "(null)" for no error, as the
// platform writes a missing object, so a line never ends in nothing.
KF_PLATFORM_API std::string describe(const ErrorRef& error);

} // namespace foundation
