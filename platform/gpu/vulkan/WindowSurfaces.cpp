#include "platform/gpu/vulkan/WindowSurfaces.h"

#include "platform/gpu/vulkan/WaylandSurface.h"
#include "platform/gpu/vulkan/XlibSurface.h"

namespace gpu::vulkan {

bool canPresentToDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, const NativeDisplay& display) {
    switch (display.system) {
    case WindowSystem::X11: return canPresentToXlibDisplay(device, queueFamily, display.display);
    case WindowSystem::Wayland: return canPresentToWaylandDisplay(device, queueFamily, display.display);
    }
    return false;
}

VkResult createWindowSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface) {
    switch (window.system) {
    case WindowSystem::X11: return createXlibSurface(instance, window, surface);
    case WindowSystem::Wayland: return createWaylandSurface(instance, window, surface);
    }
    return VK_ERROR_INITIALIZATION_FAILED;
}

} // namespace gpu::vulkan
