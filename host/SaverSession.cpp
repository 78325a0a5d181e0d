#include "host/SaverSession.h"

namespace {

// The saver view follows its window's size.
constexpr unsigned kFillsItsSuperview = view::ViewWidthSizable | view::ViewHeightSizable;

} // namespace

SaverSession::~SaverSession() { stop(); }

bool SaverSession::show(std::unique_ptr<view::x11::X11WindowBackend> backend, bool isPreview,
                        std::function<void()> whenClosed) {
    const auto window = view::Window::initWithBackend(std::move(backend));
    const auto& contentView = window->contentView();
    auto saverView = saverClass_.initWithFrame(contentView->bounds(), isPreview);
    if (!saverView) {
        window->close();
        return false;
    }
    saverView->setAutoresizingMask(kFillsItsSuperview);
    contentView->addSubview(saverView);
    const auto observer = foundation::NotificationCenter::defaultCenter().addObserverForName(
        view::kWindowWillCloseNotification, window.get(),
        [whenClosed = std::move(whenClosed)](const foundation::Notification&) { whenClosed(); });
    shown_.push_back({window, std::move(saverView), observer});
    return true;
}

void SaverSession::startAnimation() {
    for (const auto& shown : shown_) shown.view->startAnimation();
}

void SaverSession::stop() {
    if (stopped_) return;
    stopped_ = true;
    auto& center = foundation::NotificationCenter::defaultCenter();
    for (const auto& shown : shown_) {
        center.removeObserver(shown.closeObserver);
        shown.view->stopAnimation();
    }
    for (const auto& shown : shown_) shown.window->close();
}
