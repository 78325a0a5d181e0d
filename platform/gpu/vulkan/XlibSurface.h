#pragma once

// The X11 side of presentation, the one place that knows Xlib's types. The
// declarations here take the connection and the window opaquely.

#include "platform/gpu/NativeWindow.h"

#include <vulkan/vulkan.h>

#include <cstdint>

namespace gpu::vulkan {

// Whether the device's queue family can present to windows of the
// connection's default visual. Only for an instance with X11 surfaces.
bool canPresentToXlibDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display);

// A surface for the window; the window must outlive it.
VkResult createXlibSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface);

} // namespace gpu::vulkan
