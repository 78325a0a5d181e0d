#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace gpu::vulkan {

// The vertex and fragment entry points of a SPIR-V module by name, or
// nothing with the validator's diagnostic when the words are not a valid
// module for Vulkan 1.3 (so a broken library never reaches the driver).
std::optional<std::map<std::string, VkShaderStageFlagBits>> readEntryPoints(std::span<const std::uint32_t> words,
                                                                           std::string* diagnostic);

} // namespace gpu::vulkan
