#include "platform/gpu/vulkan/PhysicalDeviceSelection.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gpu::vulkan {

namespace {

// Lower is better; CPU devices come last and only on request.
int preferenceRank(VkPhysicalDeviceType type) {
    switch (type) {
    case VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU: return 0;
    case VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU: return 1;
    case VK_PHYSICAL_DEVICE_TYPE_VIRTUAL_GPU: return 2;
    case VK_PHYSICAL_DEVICE_TYPE_CPU: return 4;
    default: return 3;
    }
}

bool hasPushDescriptors(VkPhysicalDevice device) {
    std::uint32_t count = 0;
    vkEnumerateDeviceExtensionProperties(device, nullptr, &count, nullptr);
    std::vector<VkExtensionProperties> extensions(count);
    vkEnumerateDeviceExtensionProperties(device, nullptr, &count, extensions.data());
    return std::any_of(extensions.begin(), extensions.end(), [](const VkExtensionProperties& extension) {
        return std::strcmp(extension.extensionName, VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME) == 0;
    });
}

bool hasRequiredFeatures(VkPhysicalDevice device) {
    VkPhysicalDeviceVulkan13Features features13{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES};
    VkPhysicalDeviceVulkan12Features features12{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES};
    features12.pNext = &features13;
    VkPhysicalDeviceFeatures2 features{VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2};
    features.pNext = &features12;
    vkGetPhysicalDeviceFeatures2(device, &features);
    return features13.dynamicRendering && features13.synchronization2 && features12.timelineSemaphore;
}

std::optional<std::uint32_t> graphicsQueueFamily(VkPhysicalDevice device) {
    std::uint32_t count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(device, &count, nullptr);
    std::vector<VkQueueFamilyProperties> families(count);
    vkGetPhysicalDeviceQueueFamilyProperties(device, &count, families.data());
    for (std::uint32_t index = 0; index < count; ++index) {
        if (families[index].queueFlags & VK_QUEUE_GRAPHICS_BIT) return index;
    }
    return std::nullopt;
}

} // namespace

std::optional<PhysicalDeviceChoice> choosePhysicalDevice(VkInstance instance, bool allowSoftwareDevice) {
    std::uint32_t count = 0;
    // Drivers present but none usable can fail here with a count of 0.
    if (vkEnumeratePhysicalDevices(instance, &count, nullptr) != VK_SUCCESS || count == 0) return std::nullopt;
    std::vector<VkPhysicalDevice> devices(count);
    if (vkEnumeratePhysicalDevices(instance, &count, devices.data()) < VK_SUCCESS) return std::nullopt;

    std::optional<PhysicalDeviceChoice> best;
    int bestRank = 0;
    for (VkPhysicalDevice device : devices) {
        VkPhysicalDeviceProperties properties;
        vkGetPhysicalDeviceProperties(device, &properties);
        if (properties.deviceType == VK_PHYSICAL_DEVICE_TYPE_CPU && !allowSoftwareDevice) continue;
        if (properties.apiVersion < VK_API_VERSION_1_3) continue;
        const auto family = graphicsQueueFamily(device);
        if (!family || !hasRequiredFeatures(device) || !hasPushDescriptors(device)) continue;
        const int rank = preferenceRank(properties.deviceType);
        if (!best || rank < bestRank) {
            best = PhysicalDeviceChoice{device, *family};
            bestRank = rank;
        }
    }
    return best;
}

} // namespace gpu::vulkan
