#pragma once

#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <memory>
#include <mutex>
#include <vector>

namespace gpu::vulkan {

// Command buffers reused from frame to frame, so steady drawing allocates
// nothing. Buffers are taken and recorded on one thread (the main thread);
// the completion thread only hands finished ones back, which touches no
// Vulkan object and so needs no pool synchronisation.
class CommandBufferPool {
public:
    static std::shared_ptr<CommandBufferPool> create(std::shared_ptr<LogicalDevice> logicalDevice, VkResult* result);
    ~CommandBufferPool();
    CommandBufferPool(const CommandBufferPool&) = delete;
    CommandBufferPool& operator=(const CommandBufferPool&) = delete;

    // A buffer in the recording state, or VK_NULL_HANDLE with the failure.
    VkCommandBuffer begin(VkResult* result);
    void recycle(VkCommandBuffer commandBuffer);

private:
    CommandBufferPool(std::shared_ptr<LogicalDevice> logicalDevice, VkCommandPool pool);
    VkResult takeOrAllocate(VkCommandBuffer* commandBuffer);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    VkCommandPool pool_;
    std::mutex mutex_;
    std::vector<VkCommandBuffer> free_;
};

} // namespace gpu::vulkan
