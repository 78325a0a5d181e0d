#pragma once

#include "platform/gpu/Drawable.h"
#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/vulkan/FrameFinishedSignal.h"
#include "platform/gpu/vulkan/ReusedRecords.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <atomic>
#include <functional>
#include <memory>

namespace gpu::vulkan {

// A drawable of a view without a window, with a texture of its own.
// Presenting it shows it nowhere: its frame counts as presented when the
// buffer that presented it completes. A record of its source, handed out
// again once nobody else holds it.
class OffscreenDrawable final : public VulkanDrawable, public std::enable_shared_from_this<OffscreenDrawable> {
public:
    OffscreenDrawable(std::shared_ptr<VulkanTexture> texture, std::shared_ptr<FrameFinishedSignal> signal);

    // Handed out for a new frame.
    void restart();

    std::shared_ptr<Texture> texture() const override { return texture_; }
    void addPresentedHandler(PresentedHandler handler) override;
    double presentedTime() const override { return presentedTime_; }
    void presentationFinished(double presentedTime) override;

private:
    std::shared_ptr<VulkanTexture> texture_;
    std::shared_ptr<FrameFinishedSignal> signal_;
    gpu::PresentedHandlers presentedHandlers_;
    std::atomic<double> presentedTime_ = 0.0;
};

// Three drawables taken in turn, so a slow device never has more than three
// frames queued.
class OffscreenDrawableSource final : public DrawableSource {
public:
    static constexpr std::size_t kDrawableCount = 3;

    using TextureMaker = std::function<std::shared_ptr<VulkanTexture>(const TextureDescriptor& descriptor)>;

    // Null when the textures cannot be made.
    static std::shared_ptr<OffscreenDrawableSource> create(const TextureMaker& makeTexture, PixelFormat pixelFormat,
                                                           std::uint64_t width, std::uint64_t height);

    // Waits up to a second for a drawable to come back.
    std::shared_ptr<Drawable> nextDrawable() override;

private:
    OffscreenDrawableSource() = default;

    std::shared_ptr<FrameFinishedSignal> signal_ = std::make_shared<FrameFinishedSignal>();
    ReusedRecords<OffscreenDrawable> drawables_;
};

} // namespace gpu::vulkan
