#include "platform/gpu/vulkan/VulkanCommandBuffer.h"

#include "platform/foundation/ProcessInfo.h"
#include "platform/gpu/vulkan/Misuse.h"
#include "platform/gpu/vulkan/VulkanError.h"
#include "platform/gpu/vulkan/VulkanRenderCommandEncoder.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

namespace gpu::vulkan {

VulkanCommandBuffer::VulkanCommandBuffer(std::shared_ptr<LogicalDevice> logicalDevice,
                                         std::shared_ptr<CommandBufferPool> pool)
    : logicalDevice_(std::move(logicalDevice)), pool_(std::move(pool)) {}

// A record dropped while recording gives its Vulkan buffer back; its
// encoders, which a caller may still hold, record nothing from now on.
VulkanCommandBuffer::~VulkanCommandBuffer() {
    encoders_.forEach([](VulkanRenderCommandEncoder& encoder) { encoder.detach(); });
    if (commandBuffer_) pool_->recycle(commandBuffer_);
}

// A record that was let go of while still encoding, never committed, still
// holds that encoding: it goes first.
void VulkanCommandBuffer::begin(std::shared_ptr<VulkanQueue> queue) {
    if (status_ == CommandBufferStatus::NotEnqueued) releaseRecording();
    queue_ = std::move(queue);
    label_.clear();
    openEncoder_ = nullptr;
    std::lock_guard lock(mutex_);
    status_ = CommandBufferStatus::NotEnqueued;
    error_ = nullptr;
    finished_ = false;
}

void VulkanCommandBuffer::releaseRecording() {
    if (openEncoder_) openEncoder_->endEncoding();
    openEncoder_ = nullptr;
    commands_.clear();
    completedHandlers_.clear();
    presented_.clear();
    retained_.clear();
}

bool VulkanCommandBuffer::isRecording(const char* call) const {
    if (status() == CommandBufferStatus::NotEnqueued && queue_) return true;
    reportMisuse(call, "the command buffer was already committed");
    return false;
}

std::shared_ptr<RenderCommandEncoder> VulkanCommandBuffer::renderCommandEncoderWithDescriptor(
    const RenderPassDescriptor& descriptor) {
    constexpr const char* kCall = "renderCommandEncoderWithDescriptor";
    const auto& attachment = descriptor.colorAttachments[0];
    auto target = std::dynamic_pointer_cast<VulkanTexture>(attachment.texture);
    if (!isRecording(kCall) || !target || !(target->usage() & TextureUsageRenderTarget)) return nullptr;
    endOpenPass(kCall);
    auto encoder = encoders_.takeFree();
    if (!encoder) {
        encoder = std::make_shared<VulkanRenderCommandEncoder>();
        encoders_.add(encoder);
    }
    encoder->begin(this, *target, attachment);
    retain(std::move(target));
    openEncoder_ = encoder.get();
    return encoder;
}

// Vulkan needs a pass ended before another begins or the buffer is
// submitted; a caller that left one open broke the rule, and the pass is
// ended for it.
void VulkanCommandBuffer::endOpenPass(const char* call) {
    if (openEncoder_ && !openEncoder_->hasEnded()) {
        reportMisuse(call, "a render encoder was still encoding");
        openEncoder_->endEncoding();
    }
    openEncoder_ = nullptr;
}

void VulkanCommandBuffer::presentDrawable(const std::shared_ptr<Drawable>& drawable) {
    auto presentable = std::dynamic_pointer_cast<VulkanDrawable>(drawable);
    if (!isRecording("presentDrawable")) return;
    if (!presentable) {
        reportMisuse("presentDrawable", "the drawable is not one of this device");
        return;
    }
    presented_.push_back(std::move(presentable));
}

void VulkanCommandBuffer::addCompletedHandler(CompletedHandler handler) {
    if (handler && isRecording("addCompletedHandler")) completedHandlers_.push_back(std::move(handler));
}

void VulkanCommandBuffer::retain(std::shared_ptr<const void> object) { retained_.push_back(std::move(object)); }

void VulkanCommandBuffer::prepareSubmission() {
    submission_.clear();
    for (const auto& drawable : presented_) {
        drawable->recordBeforePresent(commandBuffer_);
        drawable->addToSubmission(submission_);
    }
}

void VulkanCommandBuffer::commit() {
    if (!isRecording("commit")) return;
    endOpenPass("commit");
    {
        std::lock_guard lock(mutex_);
        status_ = CommandBufferStatus::Committed;
    }
    const auto queue = std::move(queue_);
    queue->record([self = shared_from_this(), queue = queue.get()] { self->recordAndSubmit(*queue); });
}

// The queue outlives its recordings: it runs them all before it goes.
void VulkanCommandBuffer::recordAndSubmit(VulkanQueue& queue) {
    auto completion = [self = shared_from_this()](const foundation::ErrorRef& failure) { self->complete(failure); };
    VkResult result;
    commandBuffer_ = pool_->begin(&result);
    if (!commandBuffer_) {
        queue.fail(vulkanError("vkBeginCommandBuffer", result), std::move(completion));
        return;
    }
    commands_.recordInto(commandBuffer_, *logicalDevice_);
    prepareSubmission();
    if (result = vkEndCommandBuffer(commandBuffer_); result != VK_SUCCESS) {
        queue.fail(vulkanError("vkEndCommandBuffer", result), std::move(completion));
        return;
    }
    queue.submit(commandBuffer_, submission_, std::move(completion));
}

// On the completion thread. The buffer's references are dropped here, after
// the handlers, so a texture its owner let go is destroyed only now.
void VulkanCommandBuffer::complete(const foundation::ErrorRef& failure) {
    const double presentedTime = failure ? 0.0 : foundation::ProcessInfo::systemUptime();
    {
        std::lock_guard lock(mutex_);
        status_ = failure ? CommandBufferStatus::Error : CommandBufferStatus::Completed;
        error_ = failure;
    }
    runCompletedHandlers();
    for (const auto& drawable : presented_) drawable->presentationFinished(presentedTime);
    presented_.clear();
    retained_.clear();
    commands_.clear();
    if (commandBuffer_) pool_->recycle(std::exchange(commandBuffer_, VK_NULL_HANDLE));
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    finishedCondition_.notify_all();
}

void VulkanCommandBuffer::runCompletedHandlers() {
    const auto self = shared_from_this();
    for (auto& handler : completedHandlers_) {
        handler(self);
        handler = nullptr;
    }
    completedHandlers_.clear();
}

void VulkanCommandBuffer::waitUntilCompleted() {
    std::unique_lock lock(mutex_);
    if (status_ == CommandBufferStatus::NotEnqueued) return;
    finishedCondition_.wait(lock, [this] { return finished_; });
}

CommandBufferStatus VulkanCommandBuffer::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

foundation::ErrorRef VulkanCommandBuffer::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

} // namespace gpu::vulkan
