#include "platform/gpu/vulkan/ImmediateCommands.h"

#include "platform/gpu/vulkan/VulkanError.h"

namespace gpu::vulkan {

ImmediateCommands::ImmediateCommands(std::shared_ptr<VulkanQueue> queue, std::shared_ptr<CommandBufferPool> pool)
    : queue_(std::move(queue)), pool_(std::move(pool)) {}

VkCommandBuffer ImmediateCommands::recordCommands(const Recorder& record, foundation::ErrorRef* error) {
    VkResult result;
    const VkCommandBuffer commandBuffer = pool_->begin(&result);
    if (!commandBuffer) {
        *error = vulkanError("vkBeginCommandBuffer", result);
        return VK_NULL_HANDLE;
    }
    record(commandBuffer);
    if (result = vkEndCommandBuffer(commandBuffer); result != VK_SUCCESS) {
        pool_->recycle(commandBuffer);
        *error = vulkanError("vkEndCommandBuffer", result);
        return VK_NULL_HANDLE;
    }
    return commandBuffer;
}

foundation::ErrorRef ImmediateCommands::submit(const Recorder& record, std::shared_ptr<const void> keepAlive) {
    foundation::ErrorRef error;
    const VkCommandBuffer commandBuffer = recordCommands(record, &error);
    if (!commandBuffer) return error;
    queue_->submit(commandBuffer, {},
                   [pool = pool_, commandBuffer, keepAlive = std::move(keepAlive)](const foundation::ErrorRef&) {
                       pool->recycle(commandBuffer);
                   });
    return nullptr;
}

foundation::ErrorRef ImmediateCommands::submitAndWait(const Recorder& record) {
    foundation::ErrorRef error;
    const VkCommandBuffer commandBuffer = recordCommands(record, &error);
    if (!commandBuffer) return error;
    error = queue_->submitAndWait(commandBuffer);
    pool_->recycle(commandBuffer);
    return error;
}

} // namespace gpu::vulkan
