#include "platform/gpu/vulkan/HostBuffer.h"

namespace gpu::vulkan {

HostBuffer::HostBuffer(std::shared_ptr<LogicalDevice> logicalDevice, VkDeviceSize size)
    : logicalDevice_(std::move(logicalDevice)), size_(size) {}

std::unique_ptr<HostBuffer> HostBuffer::create(std::shared_ptr<LogicalDevice> logicalDevice, VkDeviceSize size,
                                               VkBufferUsageFlags usage, VkResult* result) {
    std::unique_ptr<HostBuffer> buffer(new HostBuffer(std::move(logicalDevice), size));
    *result = buffer->allocate(usage);
    if (*result != VK_SUCCESS) return nullptr;
    return buffer;
}

VkResult HostBuffer::allocate(VkBufferUsageFlags usage) {
    const VkDevice device = logicalDevice_->device();
    const VkBufferCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO,
        .size = size_,
        .usage = usage,
        .sharingMode = VK_SHARING_MODE_EXCLUSIVE,
    };
    if (VkResult result = vkCreateBuffer(device, &info, nullptr, &buffer_); result != VK_SUCCESS) {
        buffer_ = VK_NULL_HANDLE;
        return result;
    }
    VkMemoryRequirements requirements;
    vkGetBufferMemoryRequirements(device, buffer_, &requirements);
    // Coherent memory needs no flushing or invalidating around each use.
    VkResult result = logicalDevice_->allocateMemory(
        requirements, VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT, &memory_);
    if (result != VK_SUCCESS) {
        memory_ = VK_NULL_HANDLE;
        return result;
    }
    if (result = vkBindBufferMemory(device, buffer_, memory_, 0); result != VK_SUCCESS) return result;
    void* mapped = nullptr;
    result = vkMapMemory(device, memory_, 0, VK_WHOLE_SIZE, 0, &mapped);
    data_ = static_cast<std::byte*>(mapped);
    return result;
}

HostBuffer::~HostBuffer() {
    const VkDevice device = logicalDevice_->device();
    if (buffer_) vkDestroyBuffer(device, buffer_, nullptr);
    // Freeing mapped memory unmaps it.
    if (memory_) vkFreeMemory(device, memory_, nullptr);
}

} // namespace gpu::vulkan
