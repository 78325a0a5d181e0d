#include "platform/gpu/vulkan/SwapchainDrawableSource.h"

#include "platform/gpu/vulkan/SwapchainDrawable.h"
#include "platform/gpu/vulkan/SwapchainPresentation.h"

namespace gpu::vulkan {

namespace {

VkExtent2D extentOf(std::uint64_t width, std::uint64_t height) {
    return {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

} // namespace

SwapchainDrawableSource::SwapchainDrawableSource(std::shared_ptr<SwapchainPresentation> presentation)
    : presentation_(std::move(presentation)) {
    // The frames that may be out, and one whose buffer is still letting go
    // of it.
    for (int record = 0; record <= SwapchainPresentation::kMaximumFramesInFlight; ++record) {
        drawables_.add(std::make_shared<SwapchainDrawable>(presentation_));
    }
}

std::shared_ptr<SwapchainDrawableSource> SwapchainDrawableSource::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                                         std::shared_ptr<VulkanQueue> queue,
                                                                         const NativeWindow& window,
                                                                         std::uint64_t width, std::uint64_t height) {
    auto presentation =
        SwapchainPresentation::create(std::move(logicalDevice), std::move(queue), window, extentOf(width, height));
    if (!presentation) return nullptr;
    return std::shared_ptr<SwapchainDrawableSource>(new SwapchainDrawableSource(std::move(presentation)));
}

SwapchainDrawableSource::~SwapchainDrawableSource() {
    reclaimUnpresentedImages();
    presentation_->shutDown();
}

void SwapchainDrawableSource::reclaimUnpresentedImages() {
    drawables_.forEachFree([](SwapchainDrawable& drawable) { drawable.giveBackUnpresentedImage(); });
}

std::shared_ptr<Drawable> SwapchainDrawableSource::nextDrawable() {
    reclaimUnpresentedImages();
    const auto image = presentation_->acquireImage();
    if (!image) return nullptr;
    auto drawable = drawables_.takeFree();
    if (!drawable) {
        drawable = std::make_shared<SwapchainDrawable>(presentation_);
        drawables_.add(drawable);
    }
    drawable->hold(*image);
    return drawable;
}

void SwapchainDrawableSource::setDrawableSize(std::uint64_t width, std::uint64_t height) {
    presentation_->setRequestedExtent(extentOf(width, height));
}

bool SwapchainDrawableSource::isLost() const { return presentation_->isLost(); }

} // namespace gpu::vulkan
