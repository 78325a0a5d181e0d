#include "platform/gpu/vulkan/VulkanError.h"

#include "platform/gpu/Device.h"

#include <array>
#include <utility>

namespace gpu::vulkan {

namespace {

#define KF_RESULT(name) std::pair{name, #name}
constexpr std::array kResultNames = {
    KF_RESULT(VK_SUCCESS),
    KF_RESULT(VK_NOT_READY),
    KF_RESULT(VK_TIMEOUT),
    KF_RESULT(VK_EVENT_SET),
    KF_RESULT(VK_EVENT_RESET),
    KF_RESULT(VK_INCOMPLETE),
    KF_RESULT(VK_ERROR_OUT_OF_HOST_MEMORY),
    KF_RESULT(VK_ERROR_OUT_OF_DEVICE_MEMORY),
    KF_RESULT(VK_ERROR_INITIALIZATION_FAILED),
    KF_RESULT(VK_ERROR_DEVICE_LOST),
    KF_RESULT(VK_ERROR_MEMORY_MAP_FAILED),
    KF_RESULT(VK_ERROR_LAYER_NOT_PRESENT),
    KF_RESULT(VK_ERROR_EXTENSION_NOT_PRESENT),
    KF_RESULT(VK_ERROR_FEATURE_NOT_PRESENT),
    KF_RESULT(VK_ERROR_INCOMPATIBLE_DRIVER),
    KF_RESULT(VK_ERROR_TOO_MANY_OBJECTS),
    KF_RESULT(VK_ERROR_FORMAT_NOT_SUPPORTED),
    KF_RESULT(VK_ERROR_FRAGMENTED_POOL),
    KF_RESULT(VK_ERROR_UNKNOWN),
    KF_RESULT(VK_ERROR_OUT_OF_POOL_MEMORY),
    KF_RESULT(VK_ERROR_INVALID_EXTERNAL_HANDLE),
    KF_RESULT(VK_ERROR_FRAGMENTATION),
    KF_RESULT(VK_ERROR_INVALID_OPAQUE_CAPTURE_ADDRESS),
    KF_RESULT(VK_PIPELINE_COMPILE_REQUIRED),
    KF_RESULT(VK_ERROR_SURFACE_LOST_KHR),
    KF_RESULT(VK_ERROR_NATIVE_WINDOW_IN_USE_KHR),
    KF_RESULT(VK_SUBOPTIMAL_KHR),
    KF_RESULT(VK_ERROR_OUT_OF_DATE_KHR),
    KF_RESULT(VK_ERROR_INCOMPATIBLE_DISPLAY_KHR),
    KF_RESULT(VK_ERROR_VALIDATION_FAILED_EXT),
    KF_RESULT(VK_ERROR_INVALID_SHADER_NV),
};
#undef KF_RESULT

} // namespace

std::string resultName(VkResult result) {
    for (const auto& [value, name] : kResultNames) {
        if (value == result) return name;
    }
    return "VkResult " + std::to_string(result);
}

foundation::ErrorRef vulkanError(std::string_view operation, VkResult result, std::string_view detail) {
    std::string message = std::string(operation) + " failed: " + resultName(result) + " (" + std::to_string(result) + ")";
    if (!detail.empty()) message += ": " + std::string(detail);
    return foundation::makeError(kErrorDomain, result, std::move(message));
}

void reportError(foundation::ErrorRef* error, foundation::ErrorRef value) {
    if (error) *error = std::move(value);
}

} // namespace gpu::vulkan
