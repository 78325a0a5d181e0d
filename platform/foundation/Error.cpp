#include "platform/foundation/Error.h"

namespace foundation {

Error::Error(std::string domain, long code, std::string localizedDescription)
    : domain_(std::move(domain)), code_(code), localizedDescription_(std::move(localizedDescription)) {}

ErrorRef makeError(std::string domain, long code, std::string localizedDescription) {
    return std::make_shared<const Error>(std::move(domain), code, std::move(localizedDescription));
}

std::string describe(const ErrorRef& error) { return error ? error->localizedDescription() : "(null)"; }

} // namespace foundation
