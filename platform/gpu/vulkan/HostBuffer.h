#pragma once

#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <cstddef>
#include <memory>

namespace gpu::vulkan {

// A buffer the CPU and the GPU both reach, mapped for its whole life: the
// staging memory of uploads and the landing place of read-backs.
class HostBuffer {
public:
    static std::unique_ptr<HostBuffer> create(std::shared_ptr<LogicalDevice> logicalDevice, VkDeviceSize size,
                                              VkBufferUsageFlags usage, VkResult* result);
    // Over memory the process has (see LogicalDevice::importHostMemory),
    // which must outlive the buffer.
    static std::unique_ptr<HostBuffer> importing(std::shared_ptr<LogicalDevice> logicalDevice, std::byte* memory,
                                                 VkDeviceSize size, VkBufferUsageFlags usage, VkResult* result);
    ~HostBuffer();
    HostBuffer(const HostBuffer&) = delete;
    HostBuffer& operator=(const HostBuffer&) = delete;

    VkBuffer handle() const { return buffer_; }
    std::byte* data() const { return data_; }
    VkDeviceSize size() const { return size_; }

private:
    HostBuffer(std::shared_ptr<LogicalDevice> logicalDevice, VkDeviceSize size);
    VkResult createBuffer(VkBufferUsageFlags usage, const void* next);
    VkResult allocate(VkBufferUsageFlags usage);
    VkResult import(std::byte* memory, VkBufferUsageFlags usage);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    VkDeviceSize size_;
    VkBuffer buffer_ = VK_NULL_HANDLE;
    VkDeviceMemory memory_ = VK_NULL_HANDLE;
    std::byte* data_ = nullptr;
};

} // namespace gpu::vulkan
