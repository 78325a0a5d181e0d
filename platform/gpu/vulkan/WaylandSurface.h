#pragma once

// The Wayland side of presentation, the one place that knows the Vulkan
// Wayland types. The declarations here take the connection and the surface
// opaquely.

#include "platform/gpu/NativeWindow.h"

#include <vulkan/vulkan.h>

#include <cstdint>

namespace gpu::vulkan {

// Whether the device's queue family can present to surfaces of the
// connection (a wl_display*). Only for an instance with Wayland surfaces.
bool canPresentToWaylandDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display);

// A surface for the window's wl_surface; the wl_surface must outlive it.
VkResult createWaylandSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface);

} // namespace gpu::vulkan
