#include "platform/view/ScreenSaverView.h"

#include "platform/view/ViewRealizer.h"

#include <cmath>

namespace view {

ScreenSaverView::ScreenSaverView(Rect frame, bool isPreview) : View(frame), preview_(isPreview) {}

void ScreenSaverView::setAnimationTimeInterval(double seconds) {
    animationTimeInterval_ = seconds;
    if (!animationTimer_) return;
    stopAnimationTimer();
    startAnimationTimer();
}

void ScreenSaverView::startAnimation() { startAnimationTimer(); }

void ScreenSaverView::stopAnimation() { stopAnimationTimer(); }

void ScreenSaverView::startAnimationTimer() {
    if (animationTimer_) return;
    animationTimer_ = dispatch::TimerSource::create();
    if (!animationTimer_) return;
    const auto interval =
        static_cast<std::uint64_t>(std::llround(animationTimeInterval_ * double(dispatch::kNanosecondsPerSecond)));
    animationTimer_->setTimer(dispatch::time(dispatch::now(), std::int64_t(interval)), interval, interval / 10);
    // Weak: the timer must not keep the view alive.
    std::weak_ptr<View> weakSelf = weak_from_this();
    animationTimer_->setEventHandler([weakSelf] {
        if (const auto self = std::static_pointer_cast<ScreenSaverView>(weakSelf.lock())) self->animateOneFrame();
    });
    animationTimer_->resume();
}

void ScreenSaverView::stopAnimationTimer() {
    if (!animationTimer_) return;
    animationTimer_->cancel();
    animationTimer_.reset();
}

void ScreenSaverView::realize(ViewRealizer& realizer) { realizer.realizeDrawing(*this); }

} // namespace view
