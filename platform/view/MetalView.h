#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/Device.h"
#include "platform/view/Geometry.h"

#include <memory>

namespace view {

class MetalView;

// What a GPU view asks of the object that draws into it.
class KF_PLATFORM_API MetalViewDelegate {
public:
    virtual ~MetalViewDelegate() = default;
    virtual void drawInMTKView(MetalView& view) = 0;
    virtual void mtkViewDrawableSizeWillChange(MetalView& view, Size size) = 0;
};

// A view that shows GPU-drawn frames. Without a window it draws into
// offscreen drawables of its drawable size.
class KF_PLATFORM_API MetalView {
public:
    // A view of the given bounds (points) whose drawable has
    // bounds × scale pixels.
    static std::shared_ptr<MetalView> initWithFrame(Rect frame, std::shared_ptr<gpu::Device> device,
                                                    double scale = 1.0);
    virtual ~MetalView() = default;

    const std::shared_ptr<gpu::Device>& device() const { return device_; }
    Rect bounds() const { return {{0.0, 0.0}, frame_.size}; }
    gpu::PixelFormat colorPixelFormat() const { return colorPixelFormat_; }
    void setColorPixelFormat(gpu::PixelFormat format) { colorPixelFormat_ = format; }
    Size drawableSize() const { return drawableSize_; }
    // Tells the delegate when the size changes, as a resize would.
    void setDrawableSize(Size size);
    std::shared_ptr<MetalViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MetalViewDelegate>& delegate) { delegate_ = delegate; }

    // The next drawable to render a frame into; null when none is free in
    // time or the drawable size is empty.
    virtual std::shared_ptr<gpu::Drawable> currentDrawable();
    // Asks the delegate to draw one frame, synchronously.
    void draw();

protected:
    MetalView(Rect frame, std::shared_ptr<gpu::Device> device, double scale);

private:
    Rect frame_;
    std::shared_ptr<gpu::Device> device_;
    gpu::PixelFormat colorPixelFormat_ = gpu::PixelFormat::BGRA8Unorm;
    Size drawableSize_;
    std::weak_ptr<MetalViewDelegate> delegate_;
    std::shared_ptr<gpu::DrawableSource> drawables_;
    gpu::PixelFormat drawablesFormat_ = gpu::PixelFormat::Invalid;
    Size drawablesSize_;
};

} // namespace view
