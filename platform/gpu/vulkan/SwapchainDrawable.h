#pragma once

#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/vulkan/SwapchainPresentation.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"

#include <atomic>
#include <memory>
#include <optional>

namespace gpu::vulkan {

// One acquired swapchain image. Presenting it makes the submission wait for
// the image and show it once rendered; its frame counts as shown when the
// present was accepted. Let go of without being presented, the image goes
// back to be handed out again.
//
// A record of its drawable source, which hands it out again with another
// image once nobody else holds it.
class SwapchainDrawable final : public VulkanDrawable, public std::enable_shared_from_this<SwapchainDrawable> {
public:
    explicit SwapchainDrawable(std::shared_ptr<SwapchainPresentation> presentation);
    ~SwapchainDrawable() override;

    // Stands for the image from now on.
    void hold(AcquiredImage image);
    // The image, if it was never presented, goes back to the presentation.
    void giveBackUnpresentedImage();

    std::shared_ptr<Texture> texture() const override;
    void addPresentedHandler(PresentedHandler handler) override;
    double presentedTime() const override { return presentedTime_; }

    void recordBeforePresent(VkCommandBuffer commandBuffer) override;
    void addToSubmission(SubmissionSync& sync) override;
    void presentationFinished(double presentedTime) override;

private:
    std::shared_ptr<SwapchainPresentation> presentation_;
    std::optional<AcquiredImage> image_;
    bool submitted_ = false;
    std::atomic<bool> shown_ = false;
    gpu::PresentedHandlers presentedHandlers_;
    std::atomic<double> presentedTime_ = 0.0;
};

} // namespace gpu::vulkan
