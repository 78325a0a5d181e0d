#include "platform/gpu/vulkan/CommandBufferPool.h"

namespace gpu::vulkan {

CommandBufferPool::CommandBufferPool(std::shared_ptr<LogicalDevice> logicalDevice, VkCommandPool pool)
    : logicalDevice_(std::move(logicalDevice)), pool_(pool) {}

std::shared_ptr<CommandBufferPool> CommandBufferPool::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                             VkResult* result) {
    const VkCommandPoolCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO,
        .flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT,
        .queueFamilyIndex = logicalDevice->queueFamily(),
    };
    VkCommandPool pool = VK_NULL_HANDLE;
    *result = vkCreateCommandPool(logicalDevice->device(), &info, nullptr, &pool);
    if (*result != VK_SUCCESS) return nullptr;
    return std::shared_ptr<CommandBufferPool>(new CommandBufferPool(std::move(logicalDevice), pool));
}

CommandBufferPool::~CommandBufferPool() {
    // Destroying the pool frees its buffers.
    vkDestroyCommandPool(logicalDevice_->device(), pool_, nullptr);
}

VkResult CommandBufferPool::takeOrAllocate(VkCommandBuffer* commandBuffer) {
    std::lock_guard lock(mutex_);
    if (!free_.empty()) {
        *commandBuffer = free_.back();
        free_.pop_back();
        return vkResetCommandBuffer(*commandBuffer, 0);
    }
    const VkCommandBufferAllocateInfo info{
        .sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO,
        .commandPool = pool_,
        .level = VK_COMMAND_BUFFER_LEVEL_PRIMARY,
        .commandBufferCount = 1,
    };
    return vkAllocateCommandBuffers(logicalDevice_->device(), &info, commandBuffer);
}

VkCommandBuffer CommandBufferPool::begin(VkResult* result) {
    VkCommandBuffer commandBuffer = VK_NULL_HANDLE;
    *result = takeOrAllocate(&commandBuffer);
    if (*result == VK_SUCCESS) {
        const VkCommandBufferBeginInfo info{
            .sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO,
            .flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT,
        };
        *result = vkBeginCommandBuffer(commandBuffer, &info);
    }
    if (*result == VK_SUCCESS) return commandBuffer;
    if (commandBuffer) recycle(commandBuffer);
    return VK_NULL_HANDLE;
}

void CommandBufferPool::recycle(VkCommandBuffer commandBuffer) {
    std::lock_guard lock(mutex_);
    free_.push_back(commandBuffer);
}

} // namespace gpu::vulkan
