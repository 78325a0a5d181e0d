#include "platform/view/x11/GammaFade.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cmath>
#include <utility>

namespace view::x11 {

GammaFade::GammaFade(Connection& connection) : GammaFade(connection, std::make_unique<SharedGammaRamps>(connection)) {}

GammaFade::GammaFade(Connection& connection, std::unique_ptr<SharedGammaRamps> shared)
    : DisplayFade(shared->brightnessFound()), connection_(connection), shared_(std::move(shared)),
      crtcs_(shared_->fullBrightness()) {
    if (!crtcs_.empty()) {
        rescue_ = GammaRescue::arm(DisplayString(static_cast<Display*>(connection_.display())), crtcs_);
    }
}

GammaFade::~GammaFade() {
    stopFading();
    setBrightness(1.0);
    connection_.synchronize();
    rescue_.reset();
}

void GammaFade::applyBrightness(double brightness) {
    auto* display = static_cast<Display*>(connection_.display());
    for (const auto& crtc : crtcs_) {
        const int size = int(crtc.red.size());
        XRRCrtcGamma* gamma = XRRAllocGamma(size);
        for (int entry = 0; entry < size; ++entry) {
            gamma->red[entry] = static_cast<unsigned short>(std::lround(crtc.red[entry] * brightness));
            gamma->green[entry] = static_cast<unsigned short>(std::lround(crtc.green[entry] * brightness));
            gamma->blue[entry] = static_cast<unsigned short>(std::lround(crtc.blue[entry] * brightness));
        }
        XRRSetCrtcGamma(display, crtc.crtc, gamma);
        XRRFreeGamma(gamma);
    }
    XFlush(display);
}

} // namespace view::x11
