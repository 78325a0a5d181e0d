#include "platform/gpu/vulkan/XlibSurface.h"

#include <X11/Xlib.h>
#include <vulkan/vulkan_xlib.h>

namespace gpu::vulkan {

bool canPresentToXlibDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display) {
    auto* connection = static_cast<Display*>(display);
    const VisualID visual = XVisualIDFromVisual(DefaultVisual(connection, DefaultScreen(connection)));
    return vkGetPhysicalDeviceXlibPresentationSupportKHR(device, queueFamily, connection, visual) == VK_TRUE;
}

VkResult createXlibSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface) {
    const VkXlibSurfaceCreateInfoKHR info{
        .sType = VK_STRUCTURE_TYPE_XLIB_SURFACE_CREATE_INFO_KHR,
        .dpy = static_cast<Display*>(window.display),
        .window = static_cast<Window>(window.window),
    };
    return vkCreateXlibSurfaceKHR(instance, &info, nullptr, surface);
}

} // namespace gpu::vulkan
