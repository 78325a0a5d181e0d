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

std::unique_ptr<HostBuffer> HostBuffer::importing(std::shared_ptr<LogicalDevice> logicalDevice, std::byte* memory,
                                                  VkDeviceSize size, VkBufferUsageFlags usage, VkResult* result) {
    std::unique_ptr<HostBuffer> buffer(new HostBuffer(std::move(logicalDevice), size));
    *result = buffer->import(memory, usage);
    if (*result != VK_SUCCESS) return nullptr;
    return buffer;
}

VkResult HostBuffer::createBuffer(VkBufferUsageFlags usage, const void* next) {
    const VkBufferCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO,
        .pNext = next,
        .size = size_,
        .usage = usage,
        .sharingMode = VK_SHARING_MODE_EXCLUSIVE,
    };
    const VkResult result = vkCreateBuffer(logicalDevice_->device(), &info, nullptr, &buffer_);
    if (result != VK_SUCCESS) buffer_ = VK_NULL_HANDLE;
    return result;
}

VkResult HostBuffer::import(std::byte* memory, VkBufferUsageFlags usage) {
    const VkExternalMemoryBufferCreateInfo external{
        .sType = VK_STRUCTURE_TYPE_EXTERNAL_MEMORY_BUFFER_CREATE_INFO,
        .handleTypes = VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT,
    };
    if (VkResult result = createBuffer(usage, &external); result != VK_SUCCESS) return result;
    VkMemoryRequirements requirements;
    vkGetBufferMemoryRequirements(logicalDevice_->device(), buffer_, &requirements);
    if (VkResult result = logicalDevice_->importHostMemory(memory, size_, requirements.memoryTypeBits, &memory_);
        result != VK_SUCCESS) {
        memory_ = VK_NULL_HANDLE;
        return result;
    }
    data_ = memory;
    return vkBindBufferMemory(logicalDevice_->device(), buffer_, memory_, 0);
}

VkResult HostBuffer::allocate(VkBufferUsageFlags usage) {
    const VkDevice device = logicalDevice_->device();
    if (VkResult result = createBuffer(usage, nullptr); result != VK_SUCCESS) return result;
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
