#include "platform/view/x11/GammaFade.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace view::x11 {

namespace {

// Steps at the display's pace.
constexpr std::uint64_t kStepNanoseconds = 16666666;

} // namespace

GammaFade::GammaFade(Connection& connection)
    : connection_(connection), shared_(connection), crtcs_(shared_.fullBrightness()),
      brightness_(shared_.brightnessFound()) {
    if (!crtcs_.empty()) {
        rescue_ = GammaRescue::arm(DisplayString(static_cast<Display*>(connection_.display())), crtcs_);
    }
}

GammaFade::~GammaFade() {
    if (timer_) timer_->cancel();
    setBrightness(1.0);
    connection_.synchronize();
    rescue_.reset();
}

void GammaFade::setBrightness(double brightness) {
    brightness_ = std::clamp(brightness, 0.0, 1.0);
    auto* display = static_cast<Display*>(connection_.display());
    for (const auto& crtc : crtcs_) {
        const int size = int(crtc.red.size());
        XRRCrtcGamma* gamma = XRRAllocGamma(size);
        for (int entry = 0; entry < size; ++entry) {
            gamma->red[entry] = static_cast<unsigned short>(std::lround(crtc.red[entry] * brightness_));
            gamma->green[entry] = static_cast<unsigned short>(std::lround(crtc.green[entry] * brightness_));
            gamma->blue[entry] = static_cast<unsigned short>(std::lround(crtc.blue[entry] * brightness_));
        }
        XRRSetCrtcGamma(display, crtc.crtc, gamma);
        XRRFreeGamma(gamma);
    }
    XFlush(display);
}

void GammaFade::fadeTo(double brightness, std::chrono::milliseconds duration, std::function<void()> done) {
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

void GammaFade::step() {
    const dispatch::Time now = dispatch::now();
    const double progress = now >= end_ ? 1.0 : double(now - start_) / double(end_ - start_);
    setBrightness(from_ + (to_ - from_) * progress);
    if (progress < 1.0) return;
    timer_->cancel();
    if (const auto done = std::exchange(done_, {})) done();
}

} // namespace view::x11
