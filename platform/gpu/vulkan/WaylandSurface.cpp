#include "platform/gpu/vulkan/WaylandSurface.h"

#include <wayland-client-core.h>
#include <vulkan/vulkan_wayland.h>

namespace gpu::vulkan {

bool canPresentToWaylandDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display) {
    return vkGetPhysicalDeviceWaylandPresentationSupportKHR(device, queueFamily,
                                                            static_cast<wl_display*>(display)) == VK_TRUE;
}

VkResult createWaylandSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface) {
    const VkWaylandSurfaceCreateInfoKHR info{
        .sType = VK_STRUCTURE_TYPE_WAYLAND_SURFACE_CREATE_INFO_KHR,
        .display = static_cast<wl_display*>(window.display),
        .surface = reinterpret_cast<wl_surface*>(static_cast<std::uintptr_t>(window.window)),
    };
    return vkCreateWaylandSurfaceKHR(instance, &info, nullptr, surface);
}

} // namespace gpu::vulkan
