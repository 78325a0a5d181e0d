#include "platform/foundation/ClassRegistry.h"

namespace foundation {

ClassRegistry& ClassRegistry::shared() {
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

void ClassRegistry::registerClass(const std::string& name, std::shared_ptr<const void> classObject) {
    std::lock_guard lock(mutex_);
    classes_[name] = std::move(classObject);
}

std::shared_ptr<const void> ClassRegistry::classNamed(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto found = classes_.find(name);
    return found == classes_.end() ? nullptr : found->second;
}

} // namespace foundation
