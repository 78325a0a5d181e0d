#include "platform/gpu/vulkan/VulkanCommandQueue.h"

#include "platform/gpu/vulkan/VulkanCommandBuffer.h"

namespace gpu::vulkan {

VulkanCommandQueue::VulkanCommandQueue(std::shared_ptr<LogicalDevice> logicalDevice,
                                       std::shared_ptr<VulkanQueue> queue, std::shared_ptr<CommandBufferPool> pool)
    : logicalDevice_(std::move(logicalDevice)), queue_(std::move(queue)), pool_(std::move(pool)) {}

std::shared_ptr<CommandBuffer> VulkanCommandQueue::commandBuffer() {
    return VulkanCommandBuffer::create(logicalDevice_, queue_, pool_);
}

} // namespace gpu::vulkan
