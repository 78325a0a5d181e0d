#include "platform/gpu/vulkan/VulkanCommandQueue.h"

#include "platform/gpu/vulkan/VulkanCommandBuffer.h"

namespace gpu::vulkan {

namespace {

// Two frames in flight, one whose completion is still letting go of it, and
// a drain or a capture beside them.
constexpr int kRecordsMadeAtOnce = 4;

} // namespace

VulkanCommandQueue::VulkanCommandQueue(std::shared_ptr<LogicalDevice> logicalDevice,
                                       std::shared_ptr<VulkanQueue> queue, std::shared_ptr<CommandBufferPool> pool)
    : logicalDevice_(std::move(logicalDevice)), queue_(std::move(queue)), pool_(std::move(pool)) {
    for (int record = 0; record < kRecordsMadeAtOnce; ++record) {
        records_.add(std::make_shared<VulkanCommandBuffer>(logicalDevice_, pool_));
    }
}

std::shared_ptr<CommandBuffer> VulkanCommandQueue::commandBuffer() {
    auto record = records_.takeFree();
    if (!record) {
        record = std::make_shared<VulkanCommandBuffer>(logicalDevice_, pool_);
        records_.add(record);
    }
    record->begin(queue_);
    return record;
}

} // namespace gpu::vulkan
