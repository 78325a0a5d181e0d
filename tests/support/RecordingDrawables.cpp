#include "tests/support/RecordingDrawables.h"

#include "tests/support/RecordingDevice.h"

namespace testing_gpu {

RecordingDrawable::~RecordingDrawable() {
    if (committed_) return;
    if (const auto source = source_.lock()) source->drawableReturned();
}

void RecordingDrawable::addPresentedHandler(PresentedHandler handler) { presentedHandlers_.add(std::move(handler)); }

void RecordingDrawable::reportPresented(double presentedTime) {
    presentedTime_ = presentedTime;
    presentedHandlers_.run(shared_from_this());
}

namespace {

gpu::TextureDescriptor drawableTextureDescriptor(gpu::PixelFormat pixelFormat, std::uint64_t width,
                                                 std::uint64_t height) {
    auto descriptor = gpu::TextureDescriptor::texture2DDescriptor(pixelFormat, width, height, false);
    descriptor.usage = gpu::TextureUsageRenderTarget;
    descriptor.storageMode = gpu::StorageMode::Private;
    return descriptor;
}

} // namespace

RecordingDrawableSource::RecordingDrawableSource(gpu::PixelFormat pixelFormat, std::uint64_t width,
                                                 std::uint64_t height, std::weak_ptr<RecordingDevice> device)
    : textureDescriptor_(drawableTextureDescriptor(pixelFormat, width, height)), device_(std::move(device)) {}

std::shared_ptr<gpu::Drawable> RecordingDrawableSource::nextDrawable() {
    ++requested_;
    const auto device = device_.lock();
    if (returnsNull || lost || (device && device->failures.drawable)) return nullptr;
    ++taken_;
    return std::make_shared<RecordingDrawable>(std::make_shared<RecordingTexture>(textureDescriptor()),
                                               weak_from_this());
}

void RecordingDrawableSource::setDrawableSize(std::uint64_t width, std::uint64_t height) {
    std::lock_guard lock(mutex_);
    textureDescriptor_.width = width;
    textureDescriptor_.height = height;
}

gpu::TextureDescriptor RecordingDrawableSource::textureDescriptor() const {
    std::lock_guard lock(mutex_);
    return textureDescriptor_;
}

DrawableCounts RecordingDrawableSource::counts() const { return {requested_, taken_, returned_}; }

} // namespace testing_gpu
