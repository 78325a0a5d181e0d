#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/Geometry.h"

#include <cstdint>

namespace view::x11 {

// A rectangle in an X screen's root window: pixels, origin at its top-left.
struct PixelRect {
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
};

// The server's DPI when it says none: one point per pixel.
inline constexpr double kDefaultDotsPerInch = 96.0;
// The DPIs taken as they are: half a pixel to five pixels a point. Beyond
// them a setting is a typo, and would make a small window larger than any
// screen.
inline constexpr double kLeastDotsPerInch = 48.0;
inline constexpr double kMostDotsPerInch = 480.0;

// The DPI that the resource database text (the root window's
// RESOURCE_MANAGER property) gives as "Xft.dpi", brought into the range
// above (logged, once a process); the default when the text is missing,
// names none, or names no positive number.
KF_PLATFORM_API double dotsPerInchFromResources(const char* resourceManagerText);

// The "NSScreenNumber" of a monitor: its first RandR output (an X resource
// id, below 2^29), or, for a monitor without one, a number of its own made
// from the X screen and the monitor's place on it, above every resource id.
KF_PLATFORM_API std::int64_t screenNumberForMonitor(std::uint64_t firstOutput, int xScreen, int monitorIndex);

// Where a monitor lies among the screens, in points with the origin at the
// lower left: X screens stand side by side, each after the ones before it
// (xScreenOffset, in points), and y grows upwards from the bottom of its
// root window.
KF_PLATFORM_API Rect screenFrameForMonitor(PixelRect monitor, unsigned rootHeight, double xScreenOffset,
                                           double pointsPerPixel);

} // namespace view::x11
