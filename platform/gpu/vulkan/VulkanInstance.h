#pragma once

#include "platform/gpu/Device.h"

#include <vulkan/vulkan.h>

#include <functional>
#include <memory>
#include <string_view>

namespace gpu::vulkan {

// The Vulkan 1.3 instance: with the surface extensions for the windows of
// the options' display server (X11 when none is named) where the loader
// has them (it works without them, headless), and with the
// validation layer and a messenger that hands each of its messages to the
// options' handler when asked for.
class VulkanInstance {
public:
    // Null when the loader finds no driver or the layer is missing.
    static std::unique_ptr<VulkanInstance> create(const DeviceOptions& options);
    ~VulkanInstance();
    VulkanInstance(const VulkanInstance&) = delete;
    VulkanInstance& operator=(const VulkanInstance&) = delete;

    VkInstance handle() const { return instance_; }
    // Whether windows of the system can get a surface.
    bool hasSurfacesFor(WindowSystem system) const {
        return system == WindowSystem::X11 ? xlibSurfaces_ : waylandSurfaces_;
    }

private:
    explicit VulkanInstance(std::function<void(std::string_view)> messageHandler);
    VkResult createWithValidation(bool validation, const NativeDisplay& presentationDisplay);
    static VKAPI_ATTR VkBool32 VKAPI_CALL forwardMessage(VkDebugUtilsMessageSeverityFlagBitsEXT severity,
                                                         VkDebugUtilsMessageTypeFlagsEXT types,
                                                         const VkDebugUtilsMessengerCallbackDataEXT* data,
                                                         void* instance);

    std::function<void(std::string_view)> messageHandler_;
    VkInstance instance_ = VK_NULL_HANDLE;
    VkDebugUtilsMessengerEXT messenger_ = VK_NULL_HANDLE;
    bool xlibSurfaces_ = false;
    bool waylandSurfaces_ = false;
};

} // namespace gpu::vulkan
