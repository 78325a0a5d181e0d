#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/TimerSource.h"
#include "platform/view/x11/Connection.h"
#include "platform/view/x11/GammaRescue.h"
#include "platform/view/x11/SharedGammaRamps.h"

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace view::x11 {

// Dims every CRTC of every X screen towards black and back through their
// RandR gamma ramps, as a saver host fades the displays when it starts and
// stops. The displays' own ramps, as the savers fading on the server agree
// on them, are the full brightness, and they are put back when the object
// goes, or by a rescue when the process dies
// without that: a crash, an abort, a fatal signal, a lost connection.
// Where the server keeps no gamma, nothing changes.
class KF_PLATFORM_API GammaFade {
public:
    explicit GammaFade(Connection& connection);
    ~GammaFade();
    GammaFade(const GammaFade&) = delete;
    GammaFade& operator=(const GammaFade&) = delete;

    // Brightness from 0 (black) to 1 (the ramps found), at once.
    void setBrightness(double brightness);
    // Goes to the brightness step by step on the main queue over the
    // duration, then calls done; a new fade replaces one under way.
    void fadeTo(double brightness, std::chrono::milliseconds duration, std::function<void()> done = {});

private:
    void step();

    Connection& connection_;
    SharedGammaRamps shared_;
    const std::vector<CrtcRamps>& crtcs_;
    std::unique_ptr<GammaRescue> rescue_;
    double brightness_ = 1.0;
    double from_ = 1.0, to_ = 1.0;
    dispatch::Time start_ = 0, end_ = 0;
    std::function<void()> done_;
    std::shared_ptr<dispatch::TimerSource> timer_;
};

} // namespace view::x11
