#pragma once

#include "platform/gpu/NativeWindow.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <optional>

namespace gpu::vulkan {

struct PhysicalDeviceChoice {
    VkPhysicalDevice physicalDevice = VK_NULL_HANDLE;
    std::uint32_t queueFamily = 0;
    bool canPresent = false;
};

// The device everything is drawn on: among those with Vulkan 1.3, dynamic
// rendering, synchronization2, timeline semaphores, push descriptors and a
// graphics queue, one whose queue can present to the display (when one is
// given) before one that cannot; then a discrete GPU before an integrated
// one before a virtual one; a CPU device only when software rendering is
// allowed.
std::optional<PhysicalDeviceChoice> choosePhysicalDevice(VkInstance instance, bool allowSoftwareDevice,
                                                         const NativeDisplay& presentationDisplay);

} // namespace gpu::vulkan
