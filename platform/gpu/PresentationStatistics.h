#pragma once

#include "platform/PlatformExport.h"

#include <cstdint>

namespace gpu {

// How many frames the process has shown in windows so far: frames whose
// present was accepted and whose work completed. For a host that reports
// its frame rate.
KF_PLATFORM_API std::uint64_t framesShownInWindows();

} // namespace gpu
