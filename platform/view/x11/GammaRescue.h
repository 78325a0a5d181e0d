#pragma once

#include <memory>
#include <vector>

namespace view::x11 {

struct RescueState;

// The gamma ramps of one CRTC, as they were found.
struct CrtcRamps {
    unsigned long crtc = 0;
    std::vector<unsigned short> red, green, blue;
};

// Gives the displays their ramps back where the process ends without its
// destructors: a fatal signal (a crash, an abort, a signal nobody handles)
// or the loss of its X connection. It speaks through a connection of its
// own, opened beforehand, since the process's may be the one that failed,
// and with ramps made ready beforehand, so that the signal handler only
// sends them. One at a time; it disarms when it goes.
class GammaRescue {
public:
    // Null when no second connection can be opened.
    static std::unique_ptr<GammaRescue> arm(const char* displayName, const std::vector<CrtcRamps>& ramps);
    ~GammaRescue();
    GammaRescue(const GammaRescue&) = delete;
    GammaRescue& operator=(const GammaRescue&) = delete;

private:
    explicit GammaRescue(RescueState* state);

    RescueState* state_;
};

} // namespace view::x11
