#pragma once

#include "platform/PlatformExport.h"

namespace foundation {

class KF_PLATFORM_API ProcessInfo {
public:
    // Seconds since boot on a clock that never jumps; time asleep is not
    // counted, so an animation resumes where it paused.
    static double systemUptime();
};

} // namespace foundation
