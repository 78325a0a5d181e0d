#pragma once

#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/vulkan/CommandBufferPool.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <vulkan/vulkan.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace gpu::vulkan {

class VulkanRenderCommandEncoder;

// Records passes into a pooled Vulkan command buffer. Committed, it holds
// everything its passes use (and the drawables it presents) until the
// completion thread has run its handlers; only then are they released.
class VulkanCommandBuffer final : public CommandBuffer, public std::enable_shared_from_this<VulkanCommandBuffer> {
public:
    // Null when no command buffer can be begun.
    static std::shared_ptr<VulkanCommandBuffer> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                       std::shared_ptr<VulkanQueue> queue,
                                                       std::shared_ptr<CommandBufferPool> pool);
    ~VulkanCommandBuffer() override;

    std::string label() const override { return label_; }
    void setLabel(std::string label) override { label_ = std::move(label); }
    std::shared_ptr<RenderCommandEncoder> renderCommandEncoderWithDescriptor(
        const RenderPassDescriptor& descriptor) override;
    void presentDrawable(const std::shared_ptr<Drawable>& drawable) override;
    void addCompletedHandler(CompletedHandler handler) override;
    void commit() override;
    void waitUntilCompleted() override;
    CommandBufferStatus status() const override;
    foundation::ErrorRef error() const override;

    // For the encoders that record into this buffer.
    VkCommandBuffer handle() const { return commandBuffer_; }
    const LogicalDevice& logicalDevice() const { return *logicalDevice_; }
    void retain(std::shared_ptr<const void> object);

private:
    VulkanCommandBuffer(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<VulkanQueue> queue,
                        std::shared_ptr<CommandBufferPool> pool, VkCommandBuffer commandBuffer);
    // False, with the misuse reported, once the buffer was committed.
    bool isRecording(const char* call) const;
    void endOpenPass(const char* call);
    SubmissionSync presentationSync();
    void complete(const foundation::ErrorRef& failure);
    void runCompletedHandlers();

    std::shared_ptr<LogicalDevice> logicalDevice_;
    // Only until commit: work in flight must not keep the thread that
    // reports its completion alive, or that thread would end up joining
    // itself.
    std::shared_ptr<VulkanQueue> queue_;
    std::shared_ptr<CommandBufferPool> pool_;
    VkCommandBuffer commandBuffer_;
    std::string label_;
    std::weak_ptr<VulkanRenderCommandEncoder> openEncoder_;
    std::vector<std::shared_ptr<const void>> retained_;
    std::vector<std::shared_ptr<VulkanDrawable>> presented_;
    std::vector<CompletedHandler> completedHandlers_;

    mutable std::mutex mutex_;
    std::condition_variable finishedCondition_;
    CommandBufferStatus status_ = CommandBufferStatus::NotEnqueued;
    foundation::ErrorRef error_;
    bool finished_ = false;
};

} // namespace gpu::vulkan
