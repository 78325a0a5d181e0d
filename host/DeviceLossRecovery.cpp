#include "host/DeviceLossRecovery.h"

#include "host/MainQueueTimer.h"

#include "platform/gpu/DeviceLossAnnouncement.h"

#include <chrono>
#include <cstdio>

namespace {

// A loss comes with other news: a window destroyed by its owner loses its
// surface, and its close is on the way. The views are built again once
// that has had time to arrive, and a burst of losses makes one restart.
constexpr auto kRestartDelay = std::chrono::milliseconds(100);

} // namespace

DeviceLossRecovery::DeviceLossRecovery(ShownViews shownViews)
    : shownViews_(std::move(shownViews)),
      lossObserver_(foundation::NotificationCenter::defaultCenter().addObserverForName(
          gpu::kDeviceOrSurfaceLostNotification, nullptr,
          [this](const foundation::Notification&) { restartSoon(); })) {}

DeviceLossRecovery::~DeviceLossRecovery() {
    viewsStopped();
    foundation::NotificationCenter::defaultCenter().removeObserver(lossObserver_);
}

void DeviceLossRecovery::viewsStarted() { started_ = true; }

void DeviceLossRecovery::viewsStopped() {
    stopped_ = true;
    if (restart_) restart_->cancel();
}

void DeviceLossRecovery::restartSoon() {
    if (stopped_ || restart_) return;
    restart_ = startTimer(kRestartDelay, std::chrono::nanoseconds(0), [this] {
        restart_.reset();
        restartViews();
    });
    if (!restart_) restartViews();
}

void DeviceLossRecovery::restartViews() {
    if (stopped_ || !started_) return;
    std::fputs("korlan-flow: the GPU device or a window's surface was lost; starting the views again\n", stderr);
    const auto views = shownViews_();
    for (const auto& shown : views) shown.view->stopAnimation();
    for (const auto& shown : views) {
        if (shown.window->isVisible()) shown.view->startAnimation();
    }
}
