#include "platform/ui/Window.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Button.h"
#include "platform/ui/WindowController.h"
#include "platform/view/Window.h"

#include <cmath>

namespace ui {

namespace {

bool isUsableLength(double points) { return std::isfinite(points) && points > 0.0; }

std::shared_ptr<Button> buttonWithKeyEquivalent(const std::shared_ptr<View>& view, const std::string& key) {
    if (const auto button = std::dynamic_pointer_cast<Button>(view); button && button->keyEquivalent() == key) {
        return button;
    }
    for (const auto& subview : view->subviews()) {
        if (auto button = buttonWithKeyEquivalent(subview, key)) return button;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<Window> Window::initWithContentRect(Rect contentRect, unsigned styleMask) {
    const Size size = contentRect.size;
    if (!isUsableLength(size.width) || !isUsableLength(size.height)) return nullptr;
    std::shared_ptr<Window> window(new Window(size, styleMask));
    window->setContentView(View::initWithFrame({{0.0, 0.0}, size}));
    return window;
}

Window::~Window() = default;

void Window::setContentView(std::shared_ptr<View> view) {
    if (contentView_) contentView_->window_.reset();
    contentView_ = std::move(view);
    if (!contentView_) return;
    contentView_->removeFromSuperview();
    contentView_->setFrame({{0.0, 0.0}, contentSize_});
    contentView_->window_ = weak_from_this();
}

bool Window::performKeyEquivalent(const std::string& key) {
    if (key.empty() || !contentView_) return false;
    const auto button = buttonWithKeyEquivalent(contentView_, key);
    if (!button) return false;
    button->performClick();
    return true;
}

void Window::close() {
    // An observer or the controller may let go of the last reference.
    const auto self = shared_from_this();
    foundation::NotificationCenter::defaultCenter().postNotificationName(view::kWindowWillCloseNotification, this);
    if (!releasedWhenClosed_) return;
    if (const auto controller = windowController()) controller->releaseWindow();
}

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

} // namespace ui
