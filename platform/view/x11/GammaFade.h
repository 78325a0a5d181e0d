#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/DisplayFade.h"
#include "platform/view/x11/Connection.h"
#include "platform/view/x11/GammaRescue.h"
#include "platform/view/x11/SharedGammaRamps.h"

#include <memory>
#include <vector>

namespace view::x11 {

// Dims every CRTC of every X screen through their RandR gamma ramps. The
// displays' own ramps, as the savers fading on the server agree
// on them, are the full brightness, and they are put back when the object
// goes, or by a rescue when the process dies
// without that: a crash, an abort, a fatal signal, a lost connection.
// Where the server keeps no gamma, nothing changes.
class KF_PLATFORM_API GammaFade : public DisplayFade {
public:
    explicit GammaFade(Connection& connection);
    ~GammaFade() override;

private:
    GammaFade(Connection& connection, std::unique_ptr<SharedGammaRamps> shared);
    void applyBrightness(double brightness) override;

    Connection& connection_;
    std::unique_ptr<SharedGammaRamps> shared_;
    const std::vector<CrtcRamps>& crtcs_;
    std::unique_ptr<GammaRescue> rescue_;
};

} // namespace view::x11
