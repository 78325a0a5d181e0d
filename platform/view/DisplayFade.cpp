#include "platform/view/DisplayFade.h"

#include <algorithm>
#include <utility>

namespace view {

namespace {

// Steps at the display's pace.
constexpr std::uint64_t kStepNanoseconds = 16666666;

} // namespace

DisplayFade::DisplayFade(double brightnessFound) : brightness_(brightnessFound) {}

DisplayFade::~DisplayFade() { stopFading(); }

void DisplayFade::stopFading() {
    if (timer_) timer_->cancel();
    timer_.reset();
    done_ = nullptr;
}

void DisplayFade::setBrightness(double brightness) {
    brightness_ = std::clamp(brightness, 0.0, 1.0);
    applyBrightness(brightness_);
}

void DisplayFade::fadeTo(double brightness, std::chrono::milliseconds duration, std::function<void()> done) {
    if (timer_) timer_->cancel();
    from_ = brightness_;
    to_ = std::clamp(brightness, 0.0, 1.0);
    start_ = dispatch::now();
    end_ = dispatch::time(start_, std::chrono::nanoseconds(duration).count());
    done_ = std::move(done);
    timer_ = dispatch::TimerSource::create();
    if (!timer_) {
        // No steps without a timer: straight to the end.
        setBrightness(to_);
        if (done_) std::exchange(done_, {})();
        return;
    }
    timer_->setTimer(dispatch::time(start_, 0), kStepNanoseconds, kStepNanoseconds / 10);
    // The timer goes with this object, before it.
    timer_->setEventHandler([this] { step(); });
    timer_->resume();
}

void DisplayFade::step() {
    const dispatch::Time now = dispatch::now();
    const double progress = now >= end_ ? 1.0 : double(now - start_) / double(end_ - start_);
    setBrightness(from_ + (to_ - from_) * progress);
    if (progress < 1.0) return;
    timer_->cancel();
    if (const auto done = std::exchange(done_, {})) done();
}

} // namespace view
