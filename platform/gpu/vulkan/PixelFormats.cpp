#include "platform/gpu/vulkan/PixelFormats.h"

namespace gpu::vulkan {

VkFormat vulkanFormat(PixelFormat format) {
    switch (format) {
    case PixelFormat::RGBA8Unorm: return VK_FORMAT_R8G8B8A8_UNORM;
    case PixelFormat::RGBA8Unorm_sRGB: return VK_FORMAT_R8G8B8A8_SRGB;
    case PixelFormat::BGRA8Unorm: return VK_FORMAT_B8G8R8A8_UNORM;
    case PixelFormat::BGRA8Unorm_sRGB: return VK_FORMAT_B8G8R8A8_SRGB;
    case PixelFormat::Invalid: break;
    }
    return VK_FORMAT_UNDEFINED;
}

} // namespace gpu::vulkan
