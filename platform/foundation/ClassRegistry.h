#pragma once

#include "platform/PlatformExport.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace foundation {

// The classes that loaded bundles offer by name. A bundle registers its
// class objects when it is loaded; the host looks them up by the names its
// Info.ini gives. What a class object is, is agreed between the bundle's
// public headers and the host, as with a dynamic runtime's classes.
class KF_PLATFORM_API ClassRegistry {
public:
    // Created once and never destroyed.
    static ClassRegistry& shared();

    void registerClass(const std::string& name, std::shared_ptr<const void> classObject);
    std::shared_ptr<const void> classNamed(const std::string& name) const;

    template <class Class>
    std::shared_ptr<const Class> classNamed(const std::string& name) const {
        return std::static_pointer_cast<const Class>(classNamed(name));
    }

private:
    ClassRegistry() = default;

    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const void>> classes_;
};

} // namespace foundation
