#pragma once

#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/vulkan/CommandBufferPool.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/ReusedRecords.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <memory>
#include <string>

namespace gpu::vulkan {

class VulkanCommandBuffer;

// Hands out command buffers from its own pool, each a record used again
// once its frame is over; all queues of a device submit to its one Vulkan
// queue, in commit order.
class VulkanCommandQueue final : public CommandQueue {
public:
    VulkanCommandQueue(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<VulkanQueue> queue,
                       std::shared_ptr<CommandBufferPool> pool);

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }
    std::shared_ptr<CommandBuffer> commandBuffer() override;

private:
    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::shared_ptr<VulkanQueue> queue_;
    std::shared_ptr<CommandBufferPool> pool_;
    ReusedRecords<VulkanCommandBuffer> records_;
    std::string label_;
};

} // namespace gpu::vulkan
