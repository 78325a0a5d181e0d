#pragma once

#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/Drawable.h"
#include "tests/support/RecordingResources.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace testing_gpu {

class RecordingDevice;
class RecordingDrawableSource;

struct DrawableCounts {
    // nextDrawable calls, whether they yielded a drawable or not.
    std::size_t requested = 0;
    std::size_t taken = 0;
    // Released without having been committed for presentation.
    std::size_t returned = 0;

    bool operator==(const DrawableCounts&) const = default;
};

class RecordingDrawable final : public gpu::Drawable, public std::enable_shared_from_this<RecordingDrawable> {
public:
    RecordingDrawable(std::shared_ptr<RecordingTexture> texture, std::weak_ptr<RecordingDrawableSource> source)
        : texture_(std::move(texture)), source_(std::move(source)) {}
    ~RecordingDrawable() override;

    std::shared_ptr<gpu::Texture> texture() const override { return texture_; }
    void addPresentedHandler(PresentedHandler handler) override;
    double presentedTime() const override { return presentedTime_; }

    // Reports the drawable shown at the given time (0: dropped) and runs its
    // presented handlers on the calling thread.
    void reportPresented(double presentedTime);

private:
    friend class RecordingCommandBuffer;
    void markCommitted() { committed_ = true; }

    std::shared_ptr<RecordingTexture> texture_;
    std::weak_ptr<RecordingDrawableSource> source_;
    std::atomic<bool> committed_ = false;
    std::atomic<double> presentedTime_ = 0.0;
    gpu::PresentedHandlers presentedHandlers_;
};

// Hands out drawables with textures of its size and format that can be
// render targets; as a window's source it follows the size it is told.
class RecordingDrawableSource final : public gpu::WindowDrawableSource,
                                      public std::enable_shared_from_this<RecordingDrawableSource> {
public:
    // With a device, its Failures::drawable also makes nextDrawable yield
    // nothing.
    RecordingDrawableSource(gpu::PixelFormat pixelFormat, std::uint64_t width, std::uint64_t height,
                            std::weak_ptr<RecordingDevice> device = {});

    // Set it and nextDrawable yields nothing.
    std::atomic<bool> returnsNull = false;
    // Set it and the window counts as gone: nothing more comes.
    std::atomic<bool> lost = false;

    std::shared_ptr<gpu::Drawable> nextDrawable() override;
    void setDrawableSize(std::uint64_t width, std::uint64_t height) override;
    bool isLost() const override { return lost; }
    DrawableCounts counts() const;
    gpu::TextureDescriptor textureDescriptor() const;

private:
    friend class RecordingDrawable;
    void drawableReturned() { ++returned_; }

    mutable std::mutex mutex_;
    gpu::TextureDescriptor textureDescriptor_;
    std::weak_ptr<RecordingDevice> device_;
    std::atomic<std::size_t> requested_ = 0;
    std::atomic<std::size_t> taken_ = 0;
    std::atomic<std::size_t> returned_ = 0;
};

} // namespace testing_gpu
