#include "platform/ui/ViewHost.h"

namespace ui {

std::shared_ptr<ViewHost> ViewHost::initWithView(const std::shared_ptr<view::View>& view, Size size) {
    auto window = view::Window::initWithContentRect({{0, 0}, size});
    window->setContentView(view);
    return std::shared_ptr<ViewHost>(new ViewHost(view, std::move(window)));
}

std::shared_ptr<graphics::BitmapImageRep> ViewHost::contents() {
    window_->displayIfNeeded();
    return window_->contents();
}

void ViewHost::setNeedsDisplay() {
    hostedView_->setNeedsDisplay(true);
    didChange();
}

} // namespace ui
