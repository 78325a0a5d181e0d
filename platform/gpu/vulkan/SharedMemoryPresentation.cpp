#include "platform/gpu/vulkan/SharedMemoryPresentation.h"

#include "platform/gpu/PresentedHandlers.h"
#include "platform/gpu/vulkan/PixelFormats.h"
#include "platform/gpu/vulkan/ShownFrames.h"
#include "platform/gpu/vulkan/VulkanDrawable.h"
#include "platform/gpu/vulkan/XlibSurface.h"

#include <atomic>
#include <chrono>

namespace gpu::vulkan {

namespace {

// Two frames out, and one free to draw the next into meanwhile.
constexpr int kFrameCount = 3;
constexpr int kMaximumFramesOut = 2;
constexpr std::chrono::seconds kFramesOutTimeout{2};

} // namespace

// A record of its source, handed out again once nobody else holds it. The
// texture goes before the segment its read-back memory lies in.
class SharedMemoryFrame final : public VulkanDrawable, public std::enable_shared_from_this<SharedMemoryFrame> {
public:
    SharedMemoryFrame(std::unique_ptr<SharedMemoryImage> segment, std::shared_ptr<VulkanTexture> texture,
                      std::shared_ptr<FrameFinishedSignal> finished, std::shared_ptr<std::atomic<bool>> windowLost)
        : segment_(std::move(segment)), texture_(std::move(texture)), finished_(std::move(finished)),
          windowLost_(std::move(windowLost)) {}

    void restart() {
        presentedHandlers_.clear();
        presentedTime_ = 0.0;
    }

    std::shared_ptr<Texture> texture() const override { return texture_; }
    void addPresentedHandler(PresentedHandler handler) override { presentedHandlers_.add(std::move(handler)); }
    double presentedTime() const override { return presentedTime_; }

    // On the completion thread: the frame's pixels are in the segment.
    void presentationFinished(double presentedTime) override {
        const bool shown = presentedTime > 0.0 && !*windowLost_ && segment_->putIntoWindow();
        if (presentedTime > 0.0 && !shown) *windowLost_ = true;
        if (shown) countFrameShown();
        presentedTime_ = shown ? presentedTime : 0.0;
        presentedHandlers_.run(shared_from_this());
        finished_->frameFinished();
    }

private:
    std::unique_ptr<SharedMemoryImage> segment_;
    std::shared_ptr<VulkanTexture> texture_;
    std::shared_ptr<FrameFinishedSignal> finished_;
    std::shared_ptr<std::atomic<bool>> windowLost_;
    gpu::PresentedHandlers presentedHandlers_;
    std::atomic<double> presentedTime_ = 0.0;
};

SharedMemoryDrawableSource::SharedMemoryDrawableSource(std::shared_ptr<LogicalDevice> logicalDevice,
                                                       TextureMaker makeTexture,
                                                       std::shared_ptr<SharedMemoryWindow> window)
    : logicalDevice_(std::move(logicalDevice)), makeTexture_(std::move(makeTexture)), window_(std::move(window)) {}

std::shared_ptr<SharedMemoryDrawableSource> SharedMemoryDrawableSource::create(
    std::shared_ptr<LogicalDevice> logicalDevice, TextureMaker makeTexture, const NativeWindow& window,
    std::uint64_t width, std::uint64_t height) {
    if (!logicalDevice->isCpuDevice() || !logicalDevice->importsHostMemory()) {
        return nullptr;
    }
    auto shared = connectSharedMemoryWindow(window);
    if (!shared) return nullptr;
    std::shared_ptr<SharedMemoryDrawableSource> source(
        new SharedMemoryDrawableSource(std::move(logicalDevice), std::move(makeTexture), std::move(shared)));
    source->setDrawableSize(width, height);
    return source->makeFrames() ? source : nullptr;
}

SharedMemoryDrawableSource::~SharedMemoryDrawableSource() {
    finished_->waitUntil([this] { return framesOut() == 0; }, kFramesOutTimeout);
}

int SharedMemoryDrawableSource::framesOut() const {
    int free = 0;
    frames_.forEachFree([&free](const SharedMemoryFrame&) { ++free; });
    return int(frames_.size()) - free;
}

void SharedMemoryDrawableSource::setDrawableSize(std::uint64_t width, std::uint64_t height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    framesMatchSize_ = false;
}

bool SharedMemoryDrawableSource::makeFrames() {
    frames_.clear();
    auto descriptor = TextureDescriptor::texture2DDescriptor(PixelFormat::BGRA8Unorm, width_, height_, false);
    descriptor.usage = TextureUsageRenderTarget;
    // Drawn into the segment, or read back into it after every pass.
    descriptor.storageMode = StorageMode::Shared;
    // Rows as the device draws a linear image where it can draw into the
    // segment, else tightly packed for the copy.
    const std::uint64_t rowLength = width_ * kBytesPerPixel;
    const HostImageLayout layout =
        VulkanTexture::hostImageLayout(logicalDevice_, descriptor).value_or(HostImageLayout{rowLength, rowLength * height_});
    for (int index = 0; index < kFrameCount; ++index) {
        auto segment =
            SharedMemoryImage::create(window_, width_, height_, layout, logicalDevice_->hostMemoryAlignment());
        if (!segment) return false;
        auto texture = makeTexture_(descriptor, {{segment->data(), segment->size()}, layout.bytesPerRow});
        if (!texture) return false;
        frames_.add(
            std::make_shared<SharedMemoryFrame>(std::move(segment), std::move(texture), finished_, windowLost_));
    }
    framesMatchSize_ = true;
    return true;
}

// Never waits: without a free frame, or while the frames of the old size
// are out, there is none.
std::shared_ptr<Drawable> SharedMemoryDrawableSource::nextDrawable() {
    if (*windowLost_) return nullptr;
    const int out = framesOut();
    if (!framesMatchSize_ && (out > 0 || !makeFrames())) return nullptr;
    if (out >= kMaximumFramesOut) return nullptr;
    auto frame = frames_.takeFree();
    if (!frame) return nullptr;
    frame->restart();
    return frame;
}

} // namespace gpu::vulkan
