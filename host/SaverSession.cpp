#include "host/SaverSession.h"

#include "host/MainQueueTimer.h"

#include "platform/gpu/PresentationLoss.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// The saver view follows its window's size.
constexpr unsigned kFillsItsSuperview = view::ViewWidthSizable | view::ViewHeightSizable;

// A loss comes with other news: a window destroyed by its owner loses its
// surface, and its close is on the way. The views are built again once
// that has had time to arrive, and a burst of losses makes one restart.
constexpr auto kRestartDelay = std::chrono::milliseconds(100);

view::x11::X11WindowBackend& backendOf(const view::Window& window) {
    return static_cast<view::x11::X11WindowBackend&>(*window.backend());
}

} // namespace

SaverSession::SaverSession(const view::ScreenSaverViewClass& saverClass)
    : saverClass_(saverClass),
      lossObserver_(foundation::NotificationCenter::defaultCenter().addObserverForName(
          gpu::kPresentationLostNotification, nullptr, [this](const foundation::Notification&) { restartSoon(); })) {}

SaverSession::~SaverSession() {
    stop();
    foundation::NotificationCenter::defaultCenter().removeObserver(lossObserver_);
}

SaverSession::ShownId SaverSession::show(std::unique_ptr<view::x11::X11WindowBackend> backend, bool isPreview,
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
    for (const auto& shown : shown_) shown.view->startAnimation();
}

void SaverSession::stop() {
    if (stopped_) return;
    stopped_ = true;
    if (restart_) restart_->cancel();
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
    const bool hidden = !displaysLit_ || !backendOf(*shown.window).shows();
    if (shown.view->isHidden() != hidden) shown.view->setHidden(hidden);
}

void SaverSession::restartSoon() {
    if (stopped_ || restart_) return;
    restart_ = startTimer(kRestartDelay, std::chrono::nanoseconds(0), [this] {
        restart_.reset();
        restartViews();
    });
    if (!restart_) restartViews();
}

void SaverSession::restartViews() {
    if (stopped_ || !started_) return;
    std::fputs("korlan-flow: the GPU device or a window's surface was lost; starting the views again\n", stderr);
    for (const auto& shown : shown_) shown.view->stopAnimation();
    for (const auto& shown : shown_) {
        if (shown.window->isVisible()) shown.view->startAnimation();
    }
}
