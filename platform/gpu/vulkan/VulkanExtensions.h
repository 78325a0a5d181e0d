#pragma once

#include <vulkan/vulkan.h>

#include <set>
#include <string>
#include <string_view>

namespace gpu::vulkan {

// The names of the extensions the loader or a device offers.
class ExtensionSet {
public:
    static ExtensionSet ofInstance();
    static ExtensionSet ofDevice(VkPhysicalDevice device);

    bool contains(std::string_view name) const { return names_.contains(std::string(name)); }

private:
    std::set<std::string> names_;
};

} // namespace gpu::vulkan
