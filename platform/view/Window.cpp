#include "platform/view/Window.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/view/Screen.h"
#include "platform/view/View.h"
#include "platform/view/WindowController.h"

#include <cmath>
#include <utility>

namespace view {

namespace {

bool needsDisplay(const View& view) {
    if (view.needsDisplay()) return true;
    for (const auto& subview : view.subviews()) {
        if (needsDisplay(*subview)) return true;
    }
    return false;
}

bool isUsableLength(double points) { return std::isfinite(points) && points > 0.0; }

} // namespace

Window::Window(Size contentSize, unsigned styleMask, std::shared_ptr<Screen> screen, double backingScaleFactor,
               std::unique_ptr<WindowBackend> backend)
    : contentSize_(contentSize), styleMask_(styleMask), screen_(std::move(screen)),
      backingScaleFactor_(backingScaleFactor), backend_(std::move(backend)) {}

Window::~Window() {
    if (backend_ && !closed_) backend_->close();
}

std::shared_ptr<Window> Window::initWithContentRect(Rect contentRect, unsigned styleMask,
                                                    std::shared_ptr<Screen> screen, double backingScaleFactor) {
    const Size size = contentRect.size;
    if (!isUsableLength(size.width) || !isUsableLength(size.height)) return nullptr;
    std::shared_ptr<Window> window(new Window(size, styleMask, std::move(screen), backingScaleFactor, nullptr));
    window->setContentView(View::initWithFrame({{0.0, 0.0}, size}));
    return window;
}

std::shared_ptr<Window> Window::initWithBackend(std::unique_ptr<WindowBackend> backend) {
    const Size size = backend->contentSize();
    const double scale = backend->backingScaleFactor();
    std::shared_ptr<Window> window(new Window(size, WindowStyleMaskBorderless, nullptr, scale, std::move(backend)));
    window->backend_->attach(window);
    window->setContentView(View::initWithFrame({{0.0, 0.0}, size}));
    return window;
}

void Window::setContentView(std::shared_ptr<View> view) {
    if (view == contentView_) return;
    if (contentView_) contentView_->moveToWindow(nullptr);
    contentView_ = std::move(view);
    if (!contentView_) return;
    contentView_->removeFromSuperview();
    contentView_->setFrame({{0.0, 0.0}, contentSize_});
    contentView_->moveToWindow(shared_from_this());
}

std::shared_ptr<Screen> Window::screen() const { return backend_ ? backend_->screen() : screen_; }

double Window::backingScaleFactor() const { return backend_ ? backend_->backingScaleFactor() : backingScaleFactor_; }

std::unique_ptr<WindowBackend> Window::setBackend(std::unique_ptr<WindowBackend> backend) {
    auto previous = std::exchange(backend_, std::move(backend));
    if (!backend_) return previous;
    closed_ = false;
    backend_->attach(shared_from_this());
    return previous;
}

bool Window::performKeyEquivalent(const std::string& key) {
    return !key.empty() && contentView_ && contentView_->performKeyEquivalent(key);
}

void Window::close() {
    if (closed_) return;
    // An observer or the controller may let go of the last reference.
    const auto self = shared_from_this();
    foundation::NotificationCenter::defaultCenter().postNotificationName(kWindowWillCloseNotification, this);
    closed_ = true;
    if (backend_) backend_->close();
    if (!releasedWhenClosed_) return;
    if (const auto controller = windowController()) controller->releaseWindow();
}

void Window::displayIfNeeded() {
    // A backend that shows each view as a widget draws each when its
    // toolkit asks.
    if (backend_ && backend_->showsEachView()) return;
    if (closed_ || !contentView_ || (contents_ && !needsDisplay(*contentView_))) return;
    drawViews();
}

void Window::drawViews() {
    auto contents = contentView_->displayIntoBitmap(backingScaleFactor());
    if (!contents) return;
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

bool Window::canBeginSheet(const std::shared_ptr<Window>& sheet) const {
    return !attachedSheet_ && !sheet->sheetParent() && sheet.get() != this;
}

bool Window::beginSheet(const std::shared_ptr<Window>& sheet, SheetCompletionHandler handler) {
    if (!canBeginSheet(sheet)) return false;
    attachedSheet_ = sheet;
    sheetCompletionHandler_ = std::move(handler);
    sheet->sheetParent_ = weak_from_this();
    return true;
}

void Window::endSheet(const std::shared_ptr<Window>& sheet, ModalResponse returnCode) {
    if (!sheet || sheet != attachedSheet_) return;
    const auto handler = std::move(sheetCompletionHandler_);
    sheetCompletionHandler_ = nullptr;
    attachedSheet_->sheetParent_.reset();
    attachedSheet_.reset();
    if (handler) handler(returnCode);
}

} // namespace view
