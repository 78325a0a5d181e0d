#pragma once

#include "platform/foundation/Error.h"

#include <vulkan/vulkan.h>

#include <string>
#include <string_view>

namespace gpu::vulkan {

// "VK_ERROR_DEVICE_LOST"; the number for results this build does not know.
std::string resultName(VkResult result);

// An error in the GPU domain whose code is the result, e.g.
// "vkCreateGraphicsPipelines failed: VK_ERROR_OUT_OF_HOST_MEMORY (-1)",
// followed by what went wrong when the result alone does not say it.
foundation::ErrorRef vulkanError(std::string_view operation, VkResult result, std::string_view detail = {});

// Writes the error to the out-parameter when one is given.
void reportError(foundation::ErrorRef* error, foundation::ErrorRef value);

} // namespace gpu::vulkan
