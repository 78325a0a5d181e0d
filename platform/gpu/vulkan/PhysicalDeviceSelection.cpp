#include "platform/gpu/vulkan/PhysicalDeviceSelection.h"

#include "platform/gpu/vulkan/VulkanExtensions.h"
#include "platform/gpu/vulkan/WindowSurfaces.h"

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

bool hasRequiredFeatures(VkPhysicalDevice device) {
    VkPhysicalDeviceVulkan13Features features13{.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_3_FEATURES};
    VkPhysicalDeviceVulkan12Features features12{.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_VULKAN_1_2_FEATURES,
                                                .pNext = &features13};
    VkPhysicalDeviceFeatures2 features{.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_FEATURES_2, .pNext = &features12};
    vkGetPhysicalDeviceFeatures2(device, &features);
    return features13.dynamicRendering && features13.synchronization2 && features13.maintenance4 &&
           features12.timelineSemaphore;
}

// A graphics queue family, one that can also present to the display where
// there is one.
std::optional<PhysicalDeviceChoice> queueFamilyChoice(VkPhysicalDevice device, const NativeDisplay& display) {
    std::uint32_t count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(device, &count, nullptr);
    std::vector<VkQueueFamilyProperties> families(count);
    vkGetPhysicalDeviceQueueFamilyProperties(device, &count, families.data());
    std::optional<PhysicalDeviceChoice> choice;
    for (std::uint32_t index = 0; index < count; ++index) {
        if (!(families[index].queueFlags & VK_QUEUE_GRAPHICS_BIT)) continue;
        const bool canPresent = display.display && canPresentToDisplay(device, index, display);
        if (!choice || (canPresent && !choice->canPresent)) choice = PhysicalDeviceChoice{device, index, canPresent};
    }
    return choice;
}

int rankOf(const PhysicalDeviceChoice& choice, VkPhysicalDeviceType type) {
    return (choice.canPresent ? 0 : 10) + preferenceRank(type);
}

} // namespace

std::optional<PhysicalDeviceChoice> choosePhysicalDevice(VkInstance instance, bool allowSoftwareDevice,
                                                         const NativeDisplay& presentationDisplay) {
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
        if (!hasRequiredFeatures(device) ||
            !ExtensionSet::ofDevice(device).contains(VK_KHR_PUSH_DESCRIPTOR_EXTENSION_NAME)) {
            continue;
        }
        const auto choice = queueFamilyChoice(device, presentationDisplay);
        if (!choice) continue;
        const int rank = rankOf(*choice, properties.deviceType);
        if (!best || rank < bestRank) {
            best = choice;
            bestRank = rank;
        }
    }
    return best;
}

} // namespace gpu::vulkan
