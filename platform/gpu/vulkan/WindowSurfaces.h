#pragma once

// Presentation to the windows of each window system, through the one file
// of each that knows its types (XlibSurface.cpp, WaylandSurface.cpp).

#include "platform/gpu/NativeWindow.h"

#include <vulkan/vulkan.h>

#include <cstdint>

namespace gpu::vulkan {

// Whether the device's queue family can present to windows of the display.
// Only for an instance with the surfaces of its window system.
bool canPresentToDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, const NativeDisplay& display);

// A surface for the window; the window must outlive it.
VkResult createWindowSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface);

} // namespace gpu::vulkan
