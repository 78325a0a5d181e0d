#pragma once

#include <string_view>

namespace gpu::vulkan {

// A caller broke a rule of the GPU interface (encoding after endEncoding,
// committing twice, drawing without a pipeline …). The call is ignored; the
// misuse is logged with the call's name, and stops a debug build at once.
void reportMisuse(std::string_view call, std::string_view problem);

} // namespace gpu::vulkan
