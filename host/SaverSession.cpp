#include "host/SaverSession.h"

#include <algorithm>

namespace {

// The saver view follows its window's size.
constexpr unsigned kFillsItsSuperview = view::ViewWidthSizable | view::ViewHeightSizable;

} // namespace

SaverSession::SaverSession(const view::ScreenSaverViewClass& saverClass)
    : saverClass_(saverClass), deviceLossRecovery_([this] { return shownViews(); }) {}

SaverSession::~SaverSession() { stop(); }

SaverSession::ShownId SaverSession::show(std::unique_ptr<view::WindowBackend> backend, bool isPreview,
                                         std::function<void()> whenClosed) {
    auto* shownBy = backend.get();
    const auto window = view::Window::initWithBackend(std::move(backend));
    const auto& contentView = window->contentView();
    auto saverView = saverClass_.initWithFrame(contentView->bounds(), isPreview);
    if (!saverView) {
        window->close();
        return 0;
    }
    saverView->setAutoresizingMask(kFillsItsSuperview);
    contentView->addSubview(saverView);
    const auto observer = foundation::NotificationCenter::defaultCenter().addObserverForName(
        view::kWindowWillCloseNotification, window.get(),
        [whenClosed = std::move(whenClosed)](const foundation::Notification&) { whenClosed(); });
    const ShownId id = ++lastId_;
    shown_.push_back({id, window, std::move(saverView), observer});
    shownBy->setVisibilityHandler([this, id](bool) {
        const auto shown = std::ranges::find(shown_, id, &Shown::id);
        if (shown != shown_.end()) updateHidden(*shown);
    });
    updateHidden(shown_.back());
    if (started_) shown_.back().view->startAnimation();
    return id;
}

void SaverSession::close(ShownId id) {
    const auto shown = std::ranges::find(shown_, id, &Shown::id);
    if (shown == shown_.end()) return;
    const Shown closing = *shown;
    shown_.erase(shown);
    foundation::NotificationCenter::defaultCenter().removeObserver(closing.closeObserver);
    closing.view->stopAnimation();
    closing.window->close();
}

void SaverSession::startAnimation() {
    started_ = true;
    deviceLossRecovery_.viewsStarted();
    for (const auto& shown : shown_) shown.view->startAnimation();
}

void SaverSession::stop() {
    if (stopped_) return;
    stopped_ = true;
    deviceLossRecovery_.viewsStopped();
    auto& center = foundation::NotificationCenter::defaultCenter();
    for (const auto& shown : shown_) {
        center.removeObserver(shown.closeObserver);
        shown.view->stopAnimation();
    }
    for (const auto& shown : shown_) shown.window->close();
}

void SaverSession::followDisplayPower(DisplayPowerSource& source) {
    source.setHandler([this](bool lit) { setDisplaysLit(lit); });
}

void SaverSession::setDisplaysLit(bool lit) {
    displaysLit_ = lit;
    for (const auto& shown : shown_) updateHidden(shown);
}

// Hiding suspends the view and lets its GPU side go; showing it again
// builds that anew.
void SaverSession::updateHidden(const Shown& shown) {
    const auto* backend = shown.window->backend();
    const bool hidden = !displaysLit_ || (backend && !backend->shows());
    if (shown.view->isHidden() != hidden) shown.view->setHidden(hidden);
}

std::vector<DeviceLossRecovery::ShownView> SaverSession::shownViews() const {
    std::vector<DeviceLossRecovery::ShownView> views;
    for (const auto& shown : shown_) views.push_back({shown.window, shown.view});
    return views;
}
