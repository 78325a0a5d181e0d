#include "platform/gpu/vulkan/VulkanCommandQueue.h"

#include "platform/gpu/vulkan/VulkanCommandBuffer.h"

namespace gpu::vulkan {

VulkanCommandQueue::VulkanCommandQueue(std::shared_ptr<VulkanContext> context,
                                       std::shared_ptr<VulkanQueue> queue, std::shared_ptr<CommandBufferPool> pool)
    : context_(std::move(context)), queue_(std::move(queue)), pool_(std::move(pool)) {}

std::shared_ptr<CommandBuffer> VulkanCommandQueue::commandBuffer() {
    return VulkanCommandBuffer::create(context_, queue_, pool_);
}

} // namespace gpu::vulkan
