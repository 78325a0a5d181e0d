#include "platform/gpu/vulkan/SwapchainDrawable.h"

#include "platform/gpu/vulkan/ShownFrames.h"

namespace gpu::vulkan {

SwapchainDrawable::SwapchainDrawable(std::shared_ptr<SwapchainPresentation> presentation)
    : presentation_(std::move(presentation)) {}

SwapchainDrawable::~SwapchainDrawable() { giveBackUnpresentedImage(); }

void SwapchainDrawable::hold(AcquiredImage image) {
    presentedHandlers_.clear();
    image_ = image;
    submitted_ = false;
    shown_ = false;
    presentedTime_ = 0.0;
}

void SwapchainDrawable::giveBackUnpresentedImage() {
    if (image_ && !submitted_) presentation_->giveBack(*image_);
    image_.reset();
}

std::shared_ptr<Texture> SwapchainDrawable::texture() const {
    return image_ ? presentation_->swapchain().texture(image_->index) : nullptr;
}

void SwapchainDrawable::addPresentedHandler(PresentedHandler handler) { presentedHandlers_.add(std::move(handler)); }

void SwapchainDrawable::recordBeforePresent(VkCommandBuffer commandBuffer) {
    if (!image_) return;
    presentation_->swapchain().texture(image_->index)->recordRestingLayoutIfUndefined(commandBuffer);
}

void SwapchainDrawable::addToSubmission(SubmissionSync& sync) {
    if (!image_) return;
    submitted_ = true;
    const VkSemaphore renderFinished = presentation_->swapchain().renderFinished(image_->index);
    sync.waits.push_back({
        .sType = VK_STRUCTURE_TYPE_SEMAPHORE_SUBMIT_INFO,
        .semaphore = image_->acquired,
        .stageMask = VK_PIPELINE_STAGE_2_COLOR_ATTACHMENT_OUTPUT_BIT,
    });
    sync.signals.push_back({
        .sType = VK_STRUCTURE_TYPE_SEMAPHORE_SUBMIT_INFO,
        .semaphore = renderFinished,
        .stageMask = VK_PIPELINE_STAGE_2_ALL_COMMANDS_BIT,
    });
    // The drawable outlives the present: its command buffer holds it until
    // the frame has completed.
    sync.presents.push_back({
        .swapchain = presentation_->swapchain().handle(),
        .imageIndex = image_->index,
        .renderFinished = renderFinished,
        .presented =
            [this](VkResult result) {
                shown_ = result == VK_SUCCESS || result == VK_SUBOPTIMAL_KHR;
                presentation_->presented(result);
            },
    });
}

// The image is the swapchain's again; the record keeps the frame's fate
// for whoever still asks.
void SwapchainDrawable::presentationFinished(double presentedTime) {
    presentedTime_ = shown_ ? presentedTime : 0.0;
    if (presentedTime_ > 0.0) countFrameShown();
    if (image_) presentation_->frameFinished(image_->acquired);
    image_.reset();
    presentedHandlers_.run(shared_from_this());
}

} // namespace gpu::vulkan
