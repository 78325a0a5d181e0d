#pragma once

// A recording device that also keeps count of the GPU objects it has handed
// out and that are still alive, for tests that start and stop the same
// work many times and must leave nothing behind.

#include "tests/support/RecordingDevice.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace testing_gpu {

class LiveObjectCountingDevice final : public gpu::Device,
                                       public std::enable_shared_from_this<LiveObjectCountingDevice> {
public:
    explicit LiveObjectCountingDevice(std::shared_ptr<RecordingDevice> recording) : recording_(std::move(recording)) {}

    const std::shared_ptr<RecordingDevice>& recording() const { return recording_; }
    // Objects made through this device, its command queues and its texture
    // loaders that someone still holds: queues, command buffers, libraries,
    // pipelines, samplers, textures, texture loaders and drawable sources.
    std::size_t liveObjects() const;

    std::string name() const override { return recording_->name(); }
    std::shared_ptr<gpu::CommandQueue> newCommandQueue() override;
    std::shared_ptr<gpu::Library> newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                              foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<gpu::RenderPipelineState>
    newRenderPipelineStateWithDescriptor(const gpu::RenderPipelineDescriptor& descriptor,
                                         foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<gpu::SamplerState> newSamplerStateWithDescriptor(const gpu::SamplerDescriptor& descriptor) override;
    std::shared_ptr<gpu::Texture> newTextureWithDescriptor(const gpu::TextureDescriptor& descriptor) override;
    std::shared_ptr<gpu::TextureLoader> newTextureLoader() override;
    std::shared_ptr<gpu::DrawableSource> newOffscreenDrawableSource(gpu::PixelFormat pixelFormat, std::uint64_t width,
                                                                    std::uint64_t height) override;
    std::shared_ptr<gpu::WindowDrawableSource> newWindowDrawableSource(const gpu::NativeWindow& window,
                                                                       gpu::PixelFormat pixelFormat,
                                                                       std::uint64_t width,
                                                                       std::uint64_t height) override;

    // Remembers the object, weakly, and hands it on.
    template <class Object>
    std::shared_ptr<Object> track(std::shared_ptr<Object> object) {
        if (object) remember(object);
        return object;
    }

private:
    void remember(std::weak_ptr<const void> object);

    std::shared_ptr<RecordingDevice> recording_;
    mutable std::mutex mutex_;
    std::vector<std::weak_ptr<const void>> handedOut_;
};

} // namespace testing_gpu
