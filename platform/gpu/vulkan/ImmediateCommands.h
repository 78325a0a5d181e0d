#pragma once

#include "platform/foundation/Error.h"
#include "platform/gpu/vulkan/CommandBufferPool.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <vulkan/vulkan.h>

#include <functional>
#include <memory>

namespace gpu::vulkan {

// Work of the backend's own, outside the callers' command buffers: the
// first layout of a new texture, uploads. Submitted to the same queue, it
// runs before any work committed after it.
class ImmediateCommands {
public:
    using Recorder = std::function<void(VkCommandBuffer commandBuffer)>;

    ImmediateCommands(std::shared_ptr<VulkanQueue> queue, std::shared_ptr<CommandBufferPool> pool);

    // keepAlive lives until the work has run.
    foundation::ErrorRef submit(const Recorder& record, std::shared_ptr<const void> keepAlive);
    foundation::ErrorRef submitAndWait(const Recorder& record);

private:
    VkCommandBuffer recordCommands(const Recorder& record, foundation::ErrorRef* error);

    std::shared_ptr<VulkanQueue> queue_;
    std::shared_ptr<CommandBufferPool> pool_;
};

} // namespace gpu::vulkan
