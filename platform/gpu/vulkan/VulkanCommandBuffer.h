#pragma once

#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/vulkan/CommandBufferPool.h"
#include "platform/gpu/vulkan/EncodedCommands.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/ReusedRecords.h"
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

// Encodes passes into a list of its own; committed, it is recorded into a
// pooled Vulkan command buffer and submitted on the queue's recording
// thread. It holds everything its passes use (and the drawables it
// presents) until the completion thread has run its handlers; only then are
// they released.
//
// The object is a record its queue hands out again (ReusedRecords) once
// nobody holds it any more: its lists, its encoders and its label keep
// their room from one frame to the next.
class VulkanCommandBuffer final : public CommandBuffer, public std::enable_shared_from_this<VulkanCommandBuffer> {
public:
    VulkanCommandBuffer(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<CommandBufferPool> pool);
    ~VulkanCommandBuffer() override;

    // Starts encoding anew, for the queue.
    void begin(std::shared_ptr<VulkanQueue> queue);

    std::string label() const override { return label_; }
    void setLabel(std::string_view label) override { label_.assign(label); }
    std::shared_ptr<RenderCommandEncoder> renderCommandEncoderWithDescriptor(
        const RenderPassDescriptor& descriptor) override;
    void presentDrawable(const std::shared_ptr<Drawable>& drawable) override;
    void addCompletedHandler(CompletedHandler handler) override;
    void commit() override;
    void waitUntilCompleted() override;
    CommandBufferStatus status() const override;
    foundation::ErrorRef error() const override;

    // For the encoders that encode into this buffer.
    EncodedCommands& commands() { return commands_; }
    void retain(std::shared_ptr<const void> object);

private:
    // False, with the misuse reported, once the buffer was committed.
    bool isRecording(const char* call) const;
    void endOpenPass(const char* call);
    // On the recording thread.
    void recordAndSubmit(VulkanQueue& queue);
    void prepareSubmission();
    void complete(const foundation::ErrorRef& failure);
    void runCompletedHandlers();
    // Lets go of what the encoding referenced.
    void releaseRecording();

    std::shared_ptr<LogicalDevice> logicalDevice_;
    // Only until commit: work in flight must not keep the thread that
    // reports its completion alive, or that thread would end up joining
    // itself.
    std::shared_ptr<VulkanQueue> queue_;
    std::shared_ptr<CommandBufferPool> pool_;
    // From the recording thread's recording until the completion.
    VkCommandBuffer commandBuffer_ = VK_NULL_HANDLE;
    std::string label_;
    EncodedCommands commands_;
    ReusedRecords<VulkanRenderCommandEncoder> encoders_;
    VulkanRenderCommandEncoder* openEncoder_ = nullptr;
    std::vector<std::shared_ptr<const void>> retained_;
    std::vector<std::shared_ptr<VulkanDrawable>> presented_;
    std::vector<CompletedHandler> completedHandlers_;
    SubmissionSync submission_;

    mutable std::mutex mutex_;
    std::condition_variable finishedCondition_;
    CommandBufferStatus status_ = CommandBufferStatus::NotEnqueued;
    foundation::ErrorRef error_;
    bool finished_ = false;
};

} // namespace gpu::vulkan
