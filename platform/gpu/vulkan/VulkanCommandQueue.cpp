#include "platform/gpu/vulkan/VulkanCommandQueue.h"

#include "platform/gpu/vulkan/VulkanCommandBuffer.h"

namespace gpu::vulkan {

VulkanCommandQueue::VulkanCommandQueue(std::shared_ptr<VulkanContext> context,
                                       std::shared_ptr<CompletionThread> completionThread,
                                       std::shared_ptr<CommandBufferPool> pool)
    : context_(std::move(context)), completionThread_(std::move(completionThread)), pool_(std::move(pool)) {}

std::shared_ptr<CommandBuffer> VulkanCommandQueue::commandBuffer() {
    return VulkanCommandBuffer::create(context_, completionThread_, pool_);
}

} // namespace gpu::vulkan
