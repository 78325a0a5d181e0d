#pragma once

#include "platform/PlatformExport.h"
#include "platform/ui/View.h"
#include "platform/view/View.h"
#include "platform/view/Window.h"

#include <memory>

namespace ui {

// A place in an interface window that shows a view of the view system
// (a saver's preview, say), drawn with its drawRect: as a window draws it.
// The view lies in a window of its own off screen, of the host's size;
// a presenter paints what that window drew.
class KF_PLATFORM_API ViewHost : public View {
public:
    static std::shared_ptr<ViewHost> initWithView(const std::shared_ptr<view::View>& view, Size size);

    const std::shared_ptr<view::View>& hostedView() const { return hostedView_; }
    // What the hosted view drew, drawing what it has pending first; null
    // when nothing could be drawn.
    std::shared_ptr<graphics::BitmapImageRep> contents();
    // The hosted view has changed: it is painted again.
    void setNeedsDisplay();

private:
    ViewHost(std::shared_ptr<view::View> view, std::shared_ptr<view::Window> window)
        : View({{0, 0}, window->contentSize()}), hostedView_(std::move(view)), window_(std::move(window)) {}

    std::shared_ptr<view::View> hostedView_;
    std::shared_ptr<view::Window> window_;
};

} // namespace ui
