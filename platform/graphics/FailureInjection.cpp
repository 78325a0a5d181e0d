#include "platform/graphics/FailureInjection.h"

namespace graphics::testing {

void FailureInjection::reset() {
    failNextBitmapImage = false;
    failNextImageFromPixels = false;
    failNextPNGEncoding = false;
}

FailureInjection& failureInjection() {
    // Never destroyed: graphics calls made while the process exits still find it.
    static auto* injection = new FailureInjection;
    return *injection;
}

} // namespace graphics::testing
