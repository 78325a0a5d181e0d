#include "platform/gpu/vulkan/Misuse.h"

#include "platform/foundation/Log.h"

#include <cassert>
#include <string>

namespace gpu::vulkan {

void reportMisuse(std::string_view call, std::string_view problem) {
    foundation::Log("GPU interface misused: " + std::string(call) + ": " + std::string(problem));
    assert(!"GPU interface misused");
}

} // namespace gpu::vulkan
