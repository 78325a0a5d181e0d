#include "platform/view/MetalView.h"

#include "platform/view/Window.h"

#include <cmath>

namespace view {

namespace {

std::uint64_t wholePixels(double pixels) { return static_cast<std::uint64_t>(std::round(pixels)); }

bool isEmpty(Size size) { return !(std::round(size.width) >= 1.0 && std::round(size.height) >= 1.0); }

} // namespace

MetalView::MetalView(Rect frame, std::shared_ptr<gpu::Device> device, double scale)
    : View(frame), device_(std::move(device)), windowlessScale_(scale), drawableSize_(pixelSizeOfBounds()) {}

MetalView::~MetalView() {
    // The swapchain goes before the child window it shows in.
    windowDrawables_.reset();
    surface_.reset();
}

std::shared_ptr<MetalView> MetalView::initWithFrame(Rect frame, std::shared_ptr<gpu::Device> device, double scale) {
    return std::shared_ptr<MetalView>(new MetalView(frame, std::move(device), scale));
}

double MetalView::pixelsPerPoint() const {
    const auto shownIn = window();
    return shownIn ? shownIn->backingScaleFactor() : windowlessScale_;
}

Size MetalView::pixelSizeOfBounds() const {
    const double scale = pixelsPerPoint();
    return {bounds().size.width * scale, bounds().size.height * scale};
}

// The child window's place: the view's frame in the window, in pixels from
// the window's top-left corner.
Rect MetalView::surfaceFrame() const {
    const auto shownIn = window();
    const Rect inWindow = frameInWindow();
    const double scale = pixelsPerPoint();
    const double windowHeight = shownIn ? shownIn->contentSize().height : inWindow.maxY();
    return {{inWindow.origin.x * scale, (windowHeight - inWindow.maxY()) * scale},
            {inWindow.size.width * scale, inWindow.size.height * scale}};
}

void MetalView::setDrawableSize(Size size) {
    drawableSize_ = size;
    if (windowDrawables_) windowDrawables_->setDrawableSize(wholePixels(size.width), wholePixels(size.height));
    if (const auto target = delegate()) target->mtkViewDrawableSizeWillChange(*this, size);
}

void MetalView::setClearColor(gpu::ClearColor color) {
    clearColor_ = color;
    if (surface_) surface_->setBackgroundColor({color.red, color.green, color.blue, color.alpha});
}

void MetalView::viewWillMoveToWindow(const std::shared_ptr<Window>&) { releaseDrawables(); }

void MetalView::viewDidMoveToWindow() {
    surface_.reset();
    const auto shownIn = window();
    auto* backend = shownIn ? shownIn->backend() : nullptr;
    if (backend) {
        surface_ = backend->newChildSurface(surfaceFrame());
        if (surface_) setClearColor(clearColor_);
    }
    setNeedsLayout(true);
}

void MetalView::frameDidChange() { setNeedsLayout(true); }

void MetalView::layout() {
    if (surface_) surface_->setFrame(surfaceFrame());
    if (!autoResizeDrawable_) return;
    const Size size = pixelSizeOfBounds();
    if (size.width != drawableSize_.width || size.height != drawableSize_.height) setDrawableSize(size);
}

std::shared_ptr<gpu::DrawableSource> MetalView::drawableSource() {
    const std::uint64_t width = wholePixels(drawableSize_.width), height = wholePixels(drawableSize_.height);
    if (surface_) {
        if (!windowDrawables_) {
            windowDrawables_ =
                device_->newWindowDrawableSource(surface_->nativeWindow(), colorPixelFormat_, width, height);
        }
        return windowDrawables_;
    }
    // A new size or format needs new textures; the old ones stay alive
    // while frames still in flight use them.
    if (!offscreenDrawables_ || offscreenFormat_ != colorPixelFormat_ || offscreenSize_.width != width ||
        offscreenSize_.height != height) {
        offscreenDrawables_ = device_->newOffscreenDrawableSource(colorPixelFormat_, width, height);
        offscreenFormat_ = colorPixelFormat_;
        offscreenSize_ = {double(width), double(height)};
    }
    return offscreenDrawables_;
}

std::shared_ptr<gpu::Drawable> MetalView::currentDrawable() {
    if (!device_ || isEmpty(drawableSize_)) return nullptr;
    if (surface_ && !surface_->isReadyForFrame()) return nullptr;
    const auto source = drawableSource();
    auto drawable = source ? source->nextDrawable() : nullptr;
    if (drawable && surface_) surface_->frameWillBePresented();
    return drawable;
}

void MetalView::draw() {
    if (const auto target = delegate()) target->drawInMTKView(*this);
}

void MetalView::releaseDrawables() {
    windowDrawables_.reset();
    offscreenDrawables_.reset();
}

} // namespace view
