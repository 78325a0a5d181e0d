#include "platform/view/Window.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/view/Screen.h"
#include "platform/view/View.h"

#include <cmath>

namespace view {

namespace {

bool needsDisplay(const View& view) {
    if (view.needsDisplay()) return true;
    for (const auto& subview : view.subviews()) {
        if (needsDisplay(*subview)) return true;
    }
    return false;
}

// Paints the view and the views inside it in turn, each in its own
// coordinates and clipped to its bounds: first its layer's background, then
// what it draws itself.
void drawSubtree(View& view, graphics::GraphicsContext& context) {
    if (view.isHidden()) return;
    context.saveState();
    context.translateBy(view.frame().origin.x, view.frame().origin.y);
    context.clipToRect(view.bounds());
    if (const auto* layer = view.layer(); layer && layer->backgroundColor) {
        layer->backgroundColor->setFill();
        graphics::RectFill(view.bounds());
    }
    view.drawRect(view.bounds());
    view.setNeedsDisplay(false);
    for (const auto& subview : view.subviews()) drawSubtree(*subview, context);
    context.restoreState();
}

std::uint32_t wholePixels(double points, double scale) {
    return static_cast<std::uint32_t>(std::max(1.0, std::round(points * scale)));
}

} // namespace

Window::Window(Size contentSize, std::shared_ptr<Screen> screen, double backingScaleFactor,
               std::unique_ptr<WindowBackend> backend)
    : contentSize_(contentSize), screen_(std::move(screen)), backingScaleFactor_(backingScaleFactor),
      backend_(std::move(backend)) {}

Window::~Window() {
    if (backend_ && !closed_) backend_->close();
}

std::shared_ptr<Window> Window::initWithContentRect(Rect contentRect, std::shared_ptr<Screen> screen,
                                                    double backingScaleFactor) {
    std::shared_ptr<Window> window(new Window(contentRect.size, std::move(screen), backingScaleFactor, nullptr));
    window->setContentView(View::initWithFrame({{0.0, 0.0}, contentRect.size}));
    return window;
}

std::shared_ptr<Window> Window::initWithBackend(std::unique_ptr<WindowBackend> backend) {
    const Size size = backend->contentSize();
    const double scale = backend->backingScaleFactor();
    std::shared_ptr<Window> window(new Window(size, nullptr, scale, std::move(backend)));
    window->backend_->attach(window);
    window->setContentView(View::initWithFrame({{0.0, 0.0}, size}));
    return window;
}

void Window::setContentView(std::shared_ptr<View> view) {
    if (view == contentView_) return;
    if (contentView_) contentView_->moveToWindow(nullptr);
    contentView_ = std::move(view);
    if (!contentView_) return;
    contentView_->setFrame({{0.0, 0.0}, contentSize_});
    contentView_->moveToWindow(shared_from_this());
}

std::shared_ptr<Screen> Window::screen() const { return backend_ ? backend_->screen() : screen_; }

double Window::backingScaleFactor() const { return backend_ ? backend_->backingScaleFactor() : backingScaleFactor_; }

void Window::close() {
    if (closed_) return;
    const auto self = shared_from_this();
    foundation::NotificationCenter::defaultCenter().postNotificationName(kWindowWillCloseNotification, this);
    closed_ = true;
    if (backend_) backend_->close();
}

void Window::displayIfNeeded() {
    if (closed_ || !contentView_ || (contents_ && !needsDisplay(*contentView_))) return;
    drawViews();
}

void Window::drawViews() {
    const double scale = backingScaleFactor();
    auto contents = graphics::BitmapImageRep::initWithPixelsWide(wholePixels(contentSize_.width, scale),
                                                                 wholePixels(contentSize_.height, scale));
    if (!contents) return;
    contents->setSize(contentSize_);
    const auto context = graphics::GraphicsContext::graphicsContextWithBitmapImageRep(contents);
    if (!context) return;
    graphics::GraphicsContext::saveGraphicsState();
    graphics::GraphicsContext::setCurrentContext(context);
    drawSubtree(*contentView_, *context);
    context->flushGraphics();
    graphics::GraphicsContext::restoreGraphicsState();
    contents_ = std::move(contents);
    if (backend_) backend_->showContents(*contents_);
}

void Window::backendDidResize(Size contentSize) {
    contentSize_ = contentSize;
    if (!contentView_) return;
    contentView_->setFrameSize(contentSize);
    contentView_->layoutSubtreeIfNeeded();
    contentView_->setNeedsDisplay(true);
    displayIfNeeded();
}

void Window::backendNeedsRedraw() {
    if (!contentView_ || closed_) return;
    // The server lost what was shown: show it again, redrawn.
    contentView_->setNeedsDisplay(true);
    drawViews();
}

void Window::backendDidClose() { close(); }

} // namespace view
