#include "platform/view/x11/MonitorLayout.h"

#include "platform/foundation/Log.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <glib.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <cstdio>
#include <cstring>

namespace view::x11 {

namespace {

// Output ids are X resource ids, which use the low 29 bits; a monitor
// without an output numbers above them.
constexpr std::int64_t kMonitorWithoutOutputBase = std::int64_t{1} << 32;
constexpr std::int64_t kMonitorsPerXScreen = std::int64_t{1} << 16;

double withinSaneRange(double dotsPerInch) {
    const double sane = std::clamp(dotsPerInch, kLeastDotsPerInch, kMostDotsPerInch);
    static std::once_flag logged;
    if (sane != dotsPerInch) {
        std::call_once(logged, [&] {
            char text[96];
            std::snprintf(text, sizeof text, "Xft.dpi %g is out of range; using %g", dotsPerInch, sane);
            foundation::Log(text);
        });
    }
    return sane;
}

} // namespace

double dotsPerInchFromResources(const char* resourceManagerText) {
    if (!resourceManagerText) return kDefaultDotsPerInch;
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resourceManagerText);
    if (!database) return kDefaultDotsPerInch;
    char* type = nullptr;
    XrmValue value{};
    double dotsPerInch = kDefaultDotsPerInch;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr &&
        type && std::strcmp(type, "String") == 0) {
        // Written the same in every locale.
        char* end = nullptr;
        const double parsed = g_ascii_strtod(value.addr, &end);
        if (end != value.addr && *end == '\0' && std::isfinite(parsed) && parsed > 0.0) dotsPerInch = parsed;
    }
    XrmDestroyDatabase(database);
    return withinSaneRange(dotsPerInch);
}

std::int64_t screenNumberForMonitor(std::uint64_t firstOutput, int xScreen, int monitorIndex) {
    if (firstOutput != 0) return static_cast<std::int64_t>(firstOutput);
    return kMonitorWithoutOutputBase + xScreen * kMonitorsPerXScreen + monitorIndex;
}

Rect screenFrameForMonitor(PixelRect monitor, unsigned rootHeight, double xScreenOffset, double pointsPerPixel) {
    const double bottom = double(rootHeight) - (double(monitor.y) + double(monitor.height));
    return {{xScreenOffset + monitor.x * pointsPerPixel, bottom * pointsPerPixel},
            {monitor.width * pointsPerPixel, monitor.height * pointsPerPixel}};
}

} // namespace view::x11
