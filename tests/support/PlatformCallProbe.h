#pragma once

// Platform calls that the saver view makes in a fixed order, reported to
// the test just before each runs, so it can see what state the view is in
// at that point.
//
// Linking PlatformCallProbe.cpp into a test executable defines these
// operations in the executable itself, in place of the platform library's
// for the whole process; each tells the probe, if there is one, and then
// runs the library's own definition.

#include <functional>

enum class ProbedCall {
    // dispatch::TimerSource::cancel
    TimerCancel,
    // view::MetalView::releaseDrawables
    ReleaseDrawables,
    // view::View::removeFromSuperview
    RemoveFromSuperview,
    // view::ScreenSaverView::startAnimation and stopAnimation, the base's
    BaseStartAnimation,
    BaseStopAnimation,
};

class PlatformCallProbe {
public:
    // Called with the call and the object it is made on.
    using Observer = std::function<void(ProbedCall call, const void* object)>;

    explicit PlatformCallProbe(Observer observer);
    ~PlatformCallProbe();
    PlatformCallProbe(const PlatformCallProbe&) = delete;
    PlatformCallProbe& operator=(const PlatformCallProbe&) = delete;

private:
    Observer observer_;
};
