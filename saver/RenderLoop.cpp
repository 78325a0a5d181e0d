#include "saver/KORLANFlowScreenSaverView.h"

namespace {

// 1/60 s cut to whole nanoseconds.
constexpr std::uint64_t kRenderTimerIntervalNanoseconds = 16666666;
constexpr std::uint64_t kRenderTimerLeewayNanoseconds = 1000000;

} // namespace

void KORLANFlowScreenSaverView::startRenderTimer() {
    if (renderTimer_) return;
    auto timer = dispatch::TimerSource::create();
    if (!timer) return;
    timer->setTimer(dispatch::time(dispatch::now(), 0), kRenderTimerIntervalNanoseconds, kRenderTimerLeewayNanoseconds);
    const std::uint64_t generation = ++renderGeneration_;
    // Weak, so the timer never keeps the view alive; the generation makes a
    // tick of a timer stopped since then a no-op.
    std::weak_ptr<KORLANFlowScreenSaverView> weakView = self();
    // The handler's body is the tick's scope: the strong reference and what
    // the frame made for itself (drawable, command buffer, handlers) go when
    // it ends, not at the next tick.
    timer->setEventHandler([weakView, generation] {
        if (const auto view = weakView.lock()) view->renderOneFrameForGeneration(generation);
    });
    renderTimer_ = std::move(timer);
    renderTimer_->resume();
}

void KORLANFlowScreenSaverView::stopRenderTimer() {
    ++renderGeneration_;
    if (!renderTimer_) return;
    renderTimer_->cancel();
    renderTimer_.reset();
}

void KORLANFlowScreenSaverView::renderOneFrameForGeneration(std::uint64_t generation) {
    if (generation != renderGeneration_ || !saverRunning_ || !renderer_) return;
    if (!window() || !superview() || !metalView_ || !metalView_->window() || isHidden()) {
        suspendForLifecycleChange();
        return;
    }
    // An empty drawable skips this tick only; the next one tries again.
    const view::Size drawable = metalView_->drawableSize();
    if (!(drawable.width > 0.0) || !(drawable.height > 0.0)) return;
    metalView_->draw();
}
