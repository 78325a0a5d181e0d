#pragma once

#include "platform/PlatformExport.h"

#include <memory>
#include <string>

namespace graphics {

// The name of the standard RGB colour space.
inline constexpr const char* kColorSpaceSRGB = "kCGColorSpaceSRGB";

// A colour space by name; only sRGB is known here.
class KF_PLATFORM_API ColorSpace {
public:
    // Null for a name this platform does not know.
    static std::shared_ptr<ColorSpace> createWithName(const std::string& name);

    const std::string& name() const { return name_; }

private:
    explicit ColorSpace(std::string name) : name_(std::move(name)) {}
    std::string name_;
};

} // namespace graphics
