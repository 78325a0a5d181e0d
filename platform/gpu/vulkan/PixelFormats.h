#pragma once

#include "platform/gpu/Types.h"

#include <vulkan/vulkan.h>

#include <cstddef>

namespace gpu::vulkan {

// VK_FORMAT_UNDEFINED for Invalid and for values no format stands for.
VkFormat vulkanFormat(PixelFormat format);

// Every format here has 8-bit red, green, blue and alpha.
inline constexpr std::size_t kBytesPerPixel = 4;

} // namespace gpu::vulkan
