#pragma once

#include "platform/PlatformExport.h"

#include <atomic>

namespace graphics::testing {

// A test hook for the failure paths that no real input reaches reliably.
// Each flag makes the next call of one operation fail once, whichever thread
// makes it, and is cleared by that call. Tests that set a flag call reset()
// when they end, so a flag that was never consumed does not leak into the
// next test.
struct KF_PLATFORM_API FailureInjection {
    // The next BitmapImageRep::CGImage() yields null.
    std::atomic<bool> failNextBitmapImage{false};
    // The next BitmapImage::create() yields null.
    std::atomic<bool> failNextImageFromPixels{false};
    // The next encodePNG() yields nullopt.
    std::atomic<bool> failNextPNGEncoding{false};

    void reset();
};

KF_PLATFORM_API FailureInjection& failureInjection();

// True once for a set flag, clearing it.
inline bool consume(std::atomic<bool>& flag) { return flag.exchange(false); }

} // namespace graphics::testing
