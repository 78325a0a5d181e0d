#include "platform/gpu/vulkan/VulkanExtensions.h"

#include <vector>

namespace gpu::vulkan {

namespace {

template <class Enumerate>
std::set<std::string> extensionNames(Enumerate enumerate) {
    std::uint32_t count = 0;
    if (enumerate(&count, nullptr) != VK_SUCCESS) return {};
    std::vector<VkExtensionProperties> extensions(count);
    if (enumerate(&count, extensions.data()) < VK_SUCCESS) return {};
    std::set<std::string> names;
    for (std::uint32_t index = 0; index < count; ++index) names.insert(extensions[index].extensionName);
    return names;
}

} // namespace

ExtensionSet ExtensionSet::ofInstance() {
    ExtensionSet set;
    set.names_ = extensionNames([](std::uint32_t* count, VkExtensionProperties* properties) {
        return vkEnumerateInstanceExtensionProperties(nullptr, count, properties);
    });
    return set;
}

ExtensionSet ExtensionSet::ofDevice(VkPhysicalDevice device) {
    ExtensionSet set;
    set.names_ = extensionNames([device](std::uint32_t* count, VkExtensionProperties* properties) {
        return vkEnumerateDeviceExtensionProperties(device, nullptr, count, properties);
    });
    return set;
}

} // namespace gpu::vulkan
