#pragma once

#include "platform/PlatformExport.h"

#include <cstdint>

namespace dispatch {

// A point on the monotonic clock in nanoseconds, the clock timers run on.
using Time = std::uint64_t;

inline constexpr std::uint64_t kNanosecondsPerSecond = 1000000000;

// Now plus a delta in nanoseconds: time(now(), 0) is "immediately".
KF_PLATFORM_API Time now();
KF_PLATFORM_API Time time(Time when, std::int64_t deltaNanoseconds);

} // namespace dispatch
