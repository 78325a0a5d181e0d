#pragma once

#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/Drawable.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace gpu::vulkan {

// The textures of one source that are not out as drawables. Shared with
// the drawables, so one released after its source still has a home.
class OffscreenTexturePool {
public:
    explicit OffscreenTexturePool(std::vector<std::shared_ptr<VulkanTexture>> textures);
    // Null when none became free within the timeout.
    std::shared_ptr<VulkanTexture> take(std::chrono::milliseconds timeout);
    void giveBack(std::shared_ptr<VulkanTexture> texture);

private:
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<std::shared_ptr<VulkanTexture>> free_;
};

// A drawable of a view without a window. Presenting it shows it nowhere:
// its frame counts as presented when the buffer that presented it
// completes. Released, its texture goes back to the pool.
class OffscreenDrawable final : public VulkanDrawable, public std::enable_shared_from_this<OffscreenDrawable> {
public:
    OffscreenDrawable(std::shared_ptr<VulkanTexture> texture, std::shared_ptr<OffscreenTexturePool> pool);
    ~OffscreenDrawable() override;

    std::shared_ptr<Texture> texture() const override { return texture_; }
    void addPresentedHandler(PresentedHandler handler) override;
    double presentedTime() const override { return presentedTime_; }
    void presentationFinished(double presentedTime) override;

private:
    std::shared_ptr<VulkanTexture> texture_;
    std::shared_ptr<OffscreenTexturePool> pool_;
    gpu::PresentedHandlers presentedHandlers_;
    std::atomic<double> presentedTime_ = 0.0;
};

// Three textures taken in turn, so a slow device never has more than three
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
    explicit OffscreenDrawableSource(std::shared_ptr<OffscreenTexturePool> pool);

    std::shared_ptr<OffscreenTexturePool> pool_;
};

} // namespace gpu::vulkan
