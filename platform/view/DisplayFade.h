#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/TimerSource.h"

#include <chrono>
#include <functional>
#include <memory>

namespace view {

// Dims every display towards black and back, as a saver host fades the
// displays when it starts and stops: step by step on the main queue, at the
// displays' pace. How a brightness is put on the displays is the window
// system's (RandR gamma on X11, the compositor's gamma control on Wayland).
class KF_PLATFORM_API DisplayFade {
public:
    virtual ~DisplayFade();
    DisplayFade(const DisplayFade&) = delete;
    DisplayFade& operator=(const DisplayFade&) = delete;

    // Brightness from 0 (black) to 1 (the displays' own), at once.
    void setBrightness(double brightness);
    // Goes to the brightness over the duration, then calls done; a new fade
    // replaces one under way.
    void fadeTo(double brightness, std::chrono::milliseconds duration, std::function<void()> done = {});

protected:
    explicit DisplayFade(double brightnessFound = 1.0);
    // Puts the brightness, within [0, 1], on every display.
    virtual void applyBrightness(double brightness) = 0;
    // Ends a fade under way without calling its done; for the destructors
    // of subclasses, before they give the displays back.
    void stopFading();

private:
    void step();

    double brightness_;
    double from_ = 1.0, to_ = 1.0;
    dispatch::Time start_ = 0, end_ = 0;
    std::function<void()> done_;
    std::shared_ptr<dispatch::TimerSource> timer_;
};

} // namespace view
