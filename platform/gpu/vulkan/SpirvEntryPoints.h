#pragma once

#include <vulkan/vulkan.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace gpu::vulkan {

// The vertex and fragment entry points of a SPIR-V module by name, or
// nothing with a diagnostic when the words are not a valid module for
// Vulkan 1.3 or do not fit the one pipeline layout: descriptors only in set
// 0 of the fragment stage (a sampled image at binding 0, a sampler at 1),
// push constants only in the stage's own byte range, and a stage that
// matches the name (…Vertex, …Fragment). So a broken library never reaches
// the driver.
std::optional<std::map<std::string, VkShaderStageFlagBits>> readEntryPoints(std::span<const std::uint32_t> words,
                                                                           std::string* diagnostic);

} // namespace gpu::vulkan
