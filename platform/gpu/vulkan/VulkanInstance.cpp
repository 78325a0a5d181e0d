#include "platform/gpu/vulkan/VulkanInstance.h"

#include "platform/gpu/vulkan/VulkanExtensions.h"

#include <utility>
#include <vector>

namespace gpu::vulkan {

namespace {

constexpr const char* kValidationLayer = "VK_LAYER_KHRONOS_validation";
constexpr const char* kXlibSurfaceExtension = "VK_KHR_xlib_surface";
constexpr const char* kWaylandSurfaceExtension = "VK_KHR_wayland_surface";

// Warnings and errors: the layer's information messages only tell that it
// is active, which no caller needs to hear about.
VkDebugUtilsMessengerCreateInfoEXT messengerInfo(PFN_vkDebugUtilsMessengerCallbackEXT callback, void* userData) {
    return {
        .sType = VK_STRUCTURE_TYPE_DEBUG_UTILS_MESSENGER_CREATE_INFO_EXT,
        .messageSeverity =
            VK_DEBUG_UTILS_MESSAGE_SEVERITY_WARNING_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_SEVERITY_ERROR_BIT_EXT,
        .messageType = VK_DEBUG_UTILS_MESSAGE_TYPE_GENERAL_BIT_EXT | VK_DEBUG_UTILS_MESSAGE_TYPE_VALIDATION_BIT_EXT |
                       VK_DEBUG_UTILS_MESSAGE_TYPE_PERFORMANCE_BIT_EXT,
        .pfnUserCallback = callback,
        .pUserData = userData,
    };
}

} // namespace

VulkanInstance::VulkanInstance(std::function<void(std::string_view)> messageHandler)
    : messageHandler_(std::move(messageHandler)) {}

std::unique_ptr<VulkanInstance> VulkanInstance::create(const DeviceOptions& options) {
    std::unique_ptr<VulkanInstance> instance(new VulkanInstance(options.validationMessageHandler));
    if (instance->createWithValidation(options.enableValidation, options.presentationDisplay) != VK_SUCCESS) {
        return nullptr;
    }
    return instance;
}

VkResult VulkanInstance::createWithValidation(bool validation, const NativeDisplay& presentationDisplay) {
    const VkApplicationInfo application{
        .sType = VK_STRUCTURE_TYPE_APPLICATION_INFO,
        .pApplicationName = "KORLAN Flow",
        .pEngineName = "KORLAN Flow",
        .apiVersion = VK_API_VERSION_1_3,
    };

    // A window system's windows can be shown only with the surface
    // extension and its own; without them (no window system's driver part
    // installed) drawing off screen works. Wayland's only where windows go
    // there: with it, the loader's device selection looks for a compositor,
    // and complains on standard error where there is none.
    const ExtensionSet available = ExtensionSet::ofInstance();
    const bool surfaces = available.contains(VK_KHR_SURFACE_EXTENSION_NAME);
    const bool onWayland = presentationDisplay.display && presentationDisplay.system == WindowSystem::Wayland;
    xlibSurfaces_ = surfaces && !onWayland && available.contains(kXlibSurfaceExtension);
    waylandSurfaces_ = surfaces && onWayland && available.contains(kWaylandSurfaceExtension);
    std::vector<const char*> extensions;
    if (xlibSurfaces_ || waylandSurfaces_) extensions.push_back(VK_KHR_SURFACE_EXTENSION_NAME);
    if (xlibSurfaces_) extensions.push_back(kXlibSurfaceExtension);
    if (waylandSurfaces_) extensions.push_back(kWaylandSurfaceExtension);
    if (validation) extensions.push_back(VK_EXT_DEBUG_UTILS_EXTENSION_NAME);

    // Chained into the create info, the messenger also hears about the
    // creation and destruction of the instance itself.
    const auto messenger = messengerInfo(&VulkanInstance::forwardMessage, this);
    // Hazards between passes and command buffers are this backend's to
    // order, so the layer checks them too.
    const VkValidationFeatureEnableEXT synchronization = VK_VALIDATION_FEATURE_ENABLE_SYNCHRONIZATION_VALIDATION_EXT;
    const VkValidationFeaturesEXT features{
        .sType = VK_STRUCTURE_TYPE_VALIDATION_FEATURES_EXT,
        .pNext = &messenger,
        .enabledValidationFeatureCount = 1,
        .pEnabledValidationFeatures = &synchronization,
    };
    const VkInstanceCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO,
        .pNext = validation ? &features : nullptr,
        .pApplicationInfo = &application,
        .enabledLayerCount = validation ? 1u : 0u,
        .ppEnabledLayerNames = &kValidationLayer,
        .enabledExtensionCount = static_cast<std::uint32_t>(extensions.size()),
        .ppEnabledExtensionNames = extensions.data(),
    };
    const VkResult result = vkCreateInstance(&info, nullptr, &instance_);
    if (result != VK_SUCCESS || !validation) return result;

    auto createMessenger = reinterpret_cast<PFN_vkCreateDebugUtilsMessengerEXT>(
        vkGetInstanceProcAddr(instance_, "vkCreateDebugUtilsMessengerEXT"));
    if (!createMessenger) return VK_ERROR_EXTENSION_NOT_PRESENT;
    return createMessenger(instance_, &messenger, nullptr, &messenger_);
}

VulkanInstance::~VulkanInstance() {
    if (!instance_) return;
    if (messenger_) {
        auto destroyMessenger = reinterpret_cast<PFN_vkDestroyDebugUtilsMessengerEXT>(
            vkGetInstanceProcAddr(instance_, "vkDestroyDebugUtilsMessengerEXT"));
        if (destroyMessenger) destroyMessenger(instance_, messenger_, nullptr);
    }
    vkDestroyInstance(instance_, nullptr);
}

VkBool32 VulkanInstance::forwardMessage(VkDebugUtilsMessageSeverityFlagBitsEXT, VkDebugUtilsMessageTypeFlagsEXT,
                                        const VkDebugUtilsMessengerCallbackDataEXT* data, void* instance) {
    const auto& handler = static_cast<VulkanInstance*>(instance)->messageHandler_;
    if (handler && data && data->pMessage) handler(data->pMessage);
    return VK_FALSE;
}

} // namespace gpu::vulkan
