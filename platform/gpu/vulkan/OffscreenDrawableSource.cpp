#include "platform/gpu/vulkan/OffscreenDrawableSource.h"

#include <chrono>

namespace gpu::vulkan {

namespace {

constexpr std::chrono::seconds kDrawableTimeout{1};

} // namespace

OffscreenDrawable::OffscreenDrawable(std::shared_ptr<VulkanTexture> texture,
                                     std::shared_ptr<FrameFinishedSignal> signal)
    : texture_(std::move(texture)), signal_(std::move(signal)) {}

void OffscreenDrawable::restart() {
    presentedHandlers_.clear();
    presentedTime_ = 0.0;
}

void OffscreenDrawable::addPresentedHandler(PresentedHandler handler) { presentedHandlers_.add(std::move(handler)); }

void OffscreenDrawable::presentationFinished(double presentedTime) {
    presentedTime_ = presentedTime;
    presentedHandlers_.run(shared_from_this());
    signal_->frameFinished();
}

std::shared_ptr<OffscreenDrawableSource> OffscreenDrawableSource::create(const TextureMaker& makeTexture,
                                                                         PixelFormat pixelFormat, std::uint64_t width,
                                                                         std::uint64_t height) {
    auto descriptor = TextureDescriptor::texture2DDescriptor(pixelFormat, width, height, false);
    descriptor.usage = TextureUsageRenderTarget | TextureUsageShaderRead;
    // Shared, so a frame can be read back like a window's screenshot.
    descriptor.storageMode = StorageMode::Shared;
    std::shared_ptr<OffscreenDrawableSource> source(new OffscreenDrawableSource());
    for (std::size_t index = 0; index < kDrawableCount; ++index) {
        auto texture = makeTexture(descriptor);
        if (!texture) return nullptr;
        source->drawables_.add(std::make_shared<OffscreenDrawable>(std::move(texture), source->signal_));
    }
    return source;
}

std::shared_ptr<Drawable> OffscreenDrawableSource::nextDrawable() {
    std::shared_ptr<OffscreenDrawable> drawable;
    if (!signal_->waitUntil([&] { return (drawable = drawables_.takeFree()) != nullptr; }, kDrawableTimeout)) {
        return nullptr;
    }
    drawable->restart();
    return drawable;
}

} // namespace gpu::vulkan
