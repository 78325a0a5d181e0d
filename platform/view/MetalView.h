#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/Device.h"
#include "platform/graphics/ColorSpace.h"
#include "platform/view/View.h"
#include "platform/view/WindowBackend.h"

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

// A view that shows GPU-drawn frames. In a window shown on a display server
// it is a child window of its own with a swapchain; without one it draws
// into offscreen drawables. It never draws on its own: frames come from
// draw(), which asks the delegate synchronously.
class KF_PLATFORM_API MetalView : public View {
public:
    // A view of the given frame (points). Without a window, its drawable
    // has bounds × scale pixels; in one, bounds × the window's scale.
    static std::shared_ptr<MetalView> initWithFrame(Rect frame, std::shared_ptr<gpu::Device> device,
                                                    double scale = 1.0);
    ~MetalView() override;

    const std::shared_ptr<gpu::Device>& device() const { return device_; }
    gpu::PixelFormat colorPixelFormat() const { return colorPixelFormat_; }
    void setColorPixelFormat(gpu::PixelFormat format) { colorPixelFormat_ = format; }
    // In pixels.
    Size drawableSize() const { return drawableSize_; }
    // Tells the delegate when the size changes, as a resize would.
    void setDrawableSize(Size size);
    std::shared_ptr<MetalViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<MetalViewDelegate>& delegate) { delegate_ = delegate; }

    // Kept for what they mean here: the clear colour shows in the window
    // before the first frame; with autoResizeDrawable the drawable follows
    // the view's size. The view never draws on its own, paused or not.
    bool isPaused() const { return paused_; }
    void setPaused(bool paused) { paused_ = paused; }
    bool enableSetNeedsDisplay() const { return enableSetNeedsDisplay_; }
    void setEnableSetNeedsDisplay(bool enable) { enableSetNeedsDisplay_ = enable; }
    int preferredFramesPerSecond() const { return preferredFramesPerSecond_; }
    void setPreferredFramesPerSecond(int framesPerSecond) { preferredFramesPerSecond_ = framesPerSecond; }
    bool framebufferOnly() const { return framebufferOnly_; }
    void setFramebufferOnly(bool framebufferOnly) { framebufferOnly_ = framebufferOnly; }
    gpu::ClearColor clearColor() const { return clearColor_; }
    void setClearColor(gpu::ClearColor color);
    bool autoResizeDrawable() const { return autoResizeDrawable_; }
    void setAutoResizeDrawable(bool autoResize) { autoResizeDrawable_ = autoResize; }
    const std::shared_ptr<graphics::ColorSpace>& colorspace() const { return colorspace_; }
    void setColorspace(std::shared_ptr<graphics::ColorSpace> colorspace) { colorspace_ = std::move(colorspace); }

    // The next drawable to render a frame into; null when none is free in
    // time, the drawable size is empty or the window is gone.
    virtual std::shared_ptr<gpu::Drawable> currentDrawable();
    // Asks the delegate to draw one frame, synchronously.
    void draw();
    // Lets go of the drawables and what makes them; the next frame makes
    // them anew.
    void releaseDrawables();

protected:
    MetalView(Rect frame, std::shared_ptr<gpu::Device> device, double scale);

    void viewDidMoveToWindow() override;
    void viewWillMoveToWindow(const std::shared_ptr<Window>& newWindow) override;
    void frameDidChange() override;
    void layout() override;

private:
    double pixelsPerPoint() const;
    Size pixelSizeOfBounds() const;
    Rect surfaceFrame() const;
    std::shared_ptr<gpu::DrawableSource> drawableSource();

    std::shared_ptr<gpu::Device> device_;
    double windowlessScale_;
    gpu::PixelFormat colorPixelFormat_ = gpu::PixelFormat::BGRA8Unorm;
    Size drawableSize_;
    std::weak_ptr<MetalViewDelegate> delegate_;
    bool paused_ = false;
    bool enableSetNeedsDisplay_ = false;
    int preferredFramesPerSecond_ = 60;
    bool framebufferOnly_ = true;
    gpu::ClearColor clearColor_{0.0, 0.0, 0.0, 1.0};
    bool autoResizeDrawable_ = true;
    std::shared_ptr<graphics::ColorSpace> colorspace_;

    // In a window on a display server: the child window and its swapchain.
    std::unique_ptr<NativeSurface> surface_;
    std::shared_ptr<gpu::WindowDrawableSource> windowDrawables_;
    // Without one: offscreen drawables of the size they were made for.
    std::shared_ptr<gpu::DrawableSource> offscreenDrawables_;
    gpu::PixelFormat offscreenFormat_ = gpu::PixelFormat::Invalid;
    Size offscreenSize_;
};

} // namespace view
