#pragma once

#include "platform/gpu/Device.h"

#include <vulkan/vulkan.h>

#include <functional>
#include <memory>
#include <string_view>

namespace gpu::vulkan {

// The Vulkan 1.3 instance: with the surface extensions for X11 windows where
// the loader has them (it works without them, headless), and with the
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
    // Whether X11 windows can get a surface.
    bool hasXlibSurfaces() const { return xlibSurfaces_; }

private:
    explicit VulkanInstance(std::function<void(std::string_view)> messageHandler);
    VkResult createWithValidation(bool validation);
    static VKAPI_ATTR VkBool32 VKAPI_CALL forwardMessage(VkDebugUtilsMessageSeverityFlagBitsEXT severity,
                                                         VkDebugUtilsMessageTypeFlagsEXT types,
                                                         const VkDebugUtilsMessengerCallbackDataEXT* data,
                                                         void* instance);

    std::function<void(std::string_view)> messageHandler_;
    VkInstance instance_ = VK_NULL_HANDLE;
    VkDebugUtilsMessengerEXT messenger_ = VK_NULL_HANDLE;
    bool xlibSurfaces_ = false;
};

} // namespace gpu::vulkan
