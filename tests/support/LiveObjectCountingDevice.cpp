#include "tests/support/LiveObjectCountingDevice.h"

#include <algorithm>

namespace testing_gpu {

namespace {

// Both wrappers hand out what the recording objects make, counted.

class CountingCommandQueue final : public gpu::CommandQueue {
public:
    CountingCommandQueue(std::shared_ptr<gpu::CommandQueue> queue, std::weak_ptr<LiveObjectCountingDevice> device)
        : queue_(std::move(queue)), device_(std::move(device)) {}

    std::string label() const override { return queue_->label(); }
    void setLabel(std::string_view label) override { queue_->setLabel(label); }
    std::shared_ptr<gpu::CommandBuffer> commandBuffer() override {
        const auto device = device_.lock();
        return device ? device->track(queue_->commandBuffer()) : queue_->commandBuffer();
    }

private:
    std::shared_ptr<gpu::CommandQueue> queue_;
    std::weak_ptr<LiveObjectCountingDevice> device_;
};

class CountingTextureLoader final : public gpu::TextureLoader {
public:
    CountingTextureLoader(std::shared_ptr<gpu::TextureLoader> loader, std::weak_ptr<LiveObjectCountingDevice> device)
        : loader_(std::move(loader)), device_(std::move(device)) {}

    std::shared_ptr<gpu::Texture> newTextureWithImage(const gpu::CPUImage& image,
                                                      const gpu::TextureLoaderOptions& options,
                                                      foundation::ErrorRef* error) override {
        auto texture = loader_->newTextureWithImage(image, options, error);
        const auto device = device_.lock();
        return device ? device->track(std::move(texture)) : texture;
    }

private:
    std::shared_ptr<gpu::TextureLoader> loader_;
    std::weak_ptr<LiveObjectCountingDevice> device_;
};

} // namespace

std::size_t LiveObjectCountingDevice::liveObjects() const {
    std::scoped_lock guard(mutex_);
    return std::ranges::count_if(handedOut_, [](const auto& object) { return !object.expired(); });
}

void LiveObjectCountingDevice::remember(std::weak_ptr<const void> object) {
    std::scoped_lock guard(mutex_);
    // What has gone is forgotten, so the count's own records stay small
    // over any number of rounds.
    std::erase_if(handedOut_, [](const auto& handedOut) { return handedOut.expired(); });
    handedOut_.push_back(std::move(object));
}

std::shared_ptr<gpu::CommandQueue> LiveObjectCountingDevice::newCommandQueue() {
    auto queue = recording_->newCommandQueue();
    return queue ? track(std::make_shared<CountingCommandQueue>(std::move(queue), weak_from_this())) : nullptr;
}

std::shared_ptr<gpu::Library> LiveObjectCountingDevice::newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                                                    foundation::ErrorRef* error) {
    return track(recording_->newDefaultLibraryWithBundle(bundle, error));
}

std::shared_ptr<gpu::RenderPipelineState>
LiveObjectCountingDevice::newRenderPipelineStateWithDescriptor(const gpu::RenderPipelineDescriptor& descriptor,
                                                               foundation::ErrorRef* error) {
    return track(recording_->newRenderPipelineStateWithDescriptor(descriptor, error));
}

std::shared_ptr<gpu::SamplerState>
LiveObjectCountingDevice::newSamplerStateWithDescriptor(const gpu::SamplerDescriptor& descriptor) {
    return track(recording_->newSamplerStateWithDescriptor(descriptor));
}

std::shared_ptr<gpu::Texture>
LiveObjectCountingDevice::newTextureWithDescriptor(const gpu::TextureDescriptor& descriptor) {
    return track(recording_->newTextureWithDescriptor(descriptor));
}

std::shared_ptr<gpu::TextureLoader> LiveObjectCountingDevice::newTextureLoader() {
    auto loader = recording_->newTextureLoader();
    return loader ? track(std::make_shared<CountingTextureLoader>(std::move(loader), weak_from_this())) : nullptr;
}

std::shared_ptr<gpu::DrawableSource> LiveObjectCountingDevice::newOffscreenDrawableSource(gpu::PixelFormat pixelFormat,
                                                                                          std::uint64_t width,
                                                                                          std::uint64_t height) {
    return track(recording_->newOffscreenDrawableSource(pixelFormat, width, height));
}

std::shared_ptr<gpu::WindowDrawableSource>
LiveObjectCountingDevice::newWindowDrawableSource(const gpu::NativeWindow& window, gpu::PixelFormat pixelFormat,
                                                  std::uint64_t width, std::uint64_t height) {
    return track(recording_->newWindowDrawableSource(window, pixelFormat, width, height));
}

} // namespace testing_gpu
