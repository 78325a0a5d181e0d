#pragma once

#include "platform/view/x11/Connection.h"
#include "platform/view/x11/GammaRescue.h"

#include <vector>

namespace view::x11 {

// The displays' own gamma ramps as every saver fading on one X server
// agrees on them. A saver that starts while another one fades would read
// half-faded ramps and give those back as the full brightness; so the first
// one to fade keeps the ramps it found in a property of the root window,
// beside the list of the fading savers' windows, and those that join later
// take them from there. The last one to leave deletes both.
//
// A saver killed without a word leaves its window dead in the list (the
// server destroys it with the connection) and its dimmed ramps on the
// displays: the next one to join clears the dead entry and gives back the
// kept ramps, unless the displays' ramps are no longer a dimmed copy of
// them, which means someone set new ones since.
class SharedGammaRamps {
public:
    // Joins the savers fading on the connection's server.
    explicit SharedGammaRamps(Connection& connection);
    // Leaves them; give the ramps back first.
    ~SharedGammaRamps();
    SharedGammaRamps(const SharedGammaRamps&) = delete;
    SharedGammaRamps& operator=(const SharedGammaRamps&) = delete;

    // Every CRTC with a gamma ramp, at full brightness.
    const std::vector<CrtcRamps>& fullBrightness() const { return ramps_; }
    // What the displays showed when we joined, as a share of the full
    // brightness: less than 1 while another saver had them dimmed.
    double brightnessFound() const { return brightnessFound_; }

private:
    Connection& connection_;
    unsigned long member_ = 0;
    std::vector<CrtcRamps> ramps_;
    double brightnessFound_ = 1.0;
};

} // namespace view::x11
