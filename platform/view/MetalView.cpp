#include "platform/view/MetalView.h"

#include <cmath>

namespace view {

MetalView::MetalView(Rect frame, std::shared_ptr<gpu::Device> device, double scale)
    : frame_(frame), device_(std::move(device)),
      drawableSize_{frame.size.width * scale, frame.size.height * scale} {}

std::shared_ptr<MetalView> MetalView::initWithFrame(Rect frame, std::shared_ptr<gpu::Device> device, double scale) {
    return std::shared_ptr<MetalView>(new MetalView(frame, std::move(device), scale));
}

void MetalView::setDrawableSize(Size size) {
    drawableSize_ = size;
    if (const auto target = delegate()) target->mtkViewDrawableSizeWillChange(*this, size);
}

std::shared_ptr<gpu::Drawable> MetalView::currentDrawable() {
    if (!device_) return nullptr;
    const double width = std::round(drawableSize_.width);
    const double height = std::round(drawableSize_.height);
    if (!(width >= 1.0 && height >= 1.0)) return nullptr;
    // A new size or format needs new textures; the old ones stay alive
    // while frames still in flight use them.
    if (!drawables_ || drawablesFormat_ != colorPixelFormat_ || drawablesSize_.width != width ||
        drawablesSize_.height != height) {
        drawables_ = device_->newOffscreenDrawableSource(colorPixelFormat_, static_cast<std::uint64_t>(width),
                                                         static_cast<std::uint64_t>(height));
        drawablesFormat_ = colorPixelFormat_;
        drawablesSize_ = {width, height};
    }
    return drawables_ ? drawables_->nextDrawable() : nullptr;
}

void MetalView::draw() {
    if (const auto target = delegate()) target->drawInMTKView(*this);
}

} // namespace view
