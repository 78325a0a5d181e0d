#include "platform/view/x11/Connection.h"

#include "platform/view/x11/ErrorTrap.h"
#include "platform/view/x11/EventSource.h"
#include "platform/view/x11/EventTarget.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>

namespace view::x11 {

namespace {

Display* displayOf(void* display) { return static_cast<Display*>(display); }

// In 32-bit units: far more than any resource database holds.
constexpr long kResourcesReadLimit = 1 << 20;

// What RandR tells of a change of the displays. Monitors set by a client
// (xrandr --setmonitor) are announced to nobody; whoever follows them reads
// them again now and then.
constexpr int kMonitorEvents = RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask;

bool hasRandRMonitors(Display* display) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) && XRRQueryVersion(display, &major, &minor) &&
           (major > 1 || (major == 1 && minor >= 5));
}

// The root window's RESOURCE_MANAGER as it is now: Xlib keeps the text it
// found when the connection opened.
std::string currentResources(Display* display) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const Atom property = XInternAtom(display, "RESOURCE_MANAGER", False);
    // The first X screen's root holds the resources of the whole server.
    const int status = XGetWindowProperty(display, RootWindow(display, 0), property, 0, kResourcesReadLimit, False,
                                          XA_STRING, &type, &format, &count, &remaining, &data);
    std::string text;
    if (status == Success && data && format == 8) text.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return text;
}

// The RandR monitors of one X screen; the whole screen when it has none.
std::vector<std::pair<PixelRect, std::uint64_t>> monitorsOfXScreen(Display* display, int xScreen) {
    std::vector<std::pair<PixelRect, std::uint64_t>> found;
    if (hasRandRMonitors(display)) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, xScreen), True, &count);
        for (int index = 0; index < count; ++index) {
            const XRRMonitorInfo& monitor = monitors[index];
            const std::uint64_t firstOutput = monitor.noutput > 0 ? monitor.outputs[0] : 0;
            found.push_back({{monitor.x, monitor.y, unsigned(monitor.width), unsigned(monitor.height)}, firstOutput});
        }
        if (monitors) XRRFreeMonitors(monitors);
    }
    if (found.empty()) {
        found.push_back({{0, 0, unsigned(DisplayWidth(display, xScreen)), unsigned(DisplayHeight(display, xScreen))}, 0});
    }
    return found;
}

bool contains(const PixelRect& rect, int x, int y) {
    return x >= rect.x && y >= rect.y && x < rect.x + int(rect.width) && y < rect.y + int(rect.height);
}

} // namespace

Connection* Connection::open(std::string* failure) {
    static Connection* shared = nullptr;
    if (shared) return shared;
    // Before any other Xlib call: the Vulkan driver uses the connection
    // from threads of its own.
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        if (failure) *failure = std::string("cannot open display ") + (name && *name ? name : "(DISPLAY is not set)");
        return nullptr;
    }
    shared = new Connection(display);
    installErrorTrap(display, [](unsigned long window) { shared->windowLost(window); });
    watchConnection(*shared, ConnectionNumber(display));
    return shared;
}

Connection::Connection(void* display) : display_(display) {
    int errorBase = 0;
    if (!XRRQueryExtension(displayOf(display), &randrEventBase_, &errorBase)) randrEventBase_ = -1;
}

double Connection::backingScaleFactor() const {
    return dotsPerInchFromResources(currentResources(displayOf(display_)).c_str()) / kDefaultDotsPerInch;
}

std::vector<Monitor> Connection::monitors() const {
    Display* display = displayOf(display_);
    const double backingScaleFactor = this->backingScaleFactor();
    const double pointsPerPixel = 1.0 / backingScaleFactor;
    std::vector<Monitor> all;
    double xScreenOffset = 0.0;
    for (int xScreen = 0; xScreen < ScreenCount(display); ++xScreen) {
        const auto found = monitorsOfXScreen(display, xScreen);
        for (int index = 0; index < int(found.size()); ++index) {
            const auto& [pixels, firstOutput] = found[index];
            const Rect frame =
                screenFrameForMonitor(pixels, unsigned(DisplayHeight(display, xScreen)), xScreenOffset, pointsPerPixel);
            DeviceDescription description{{kScreenNumberKey, screenNumberForMonitor(firstOutput, xScreen, index)}};
            all.push_back({xScreen, pixels, Screen::initWithFrame(frame, backingScaleFactor, std::move(description))});
        }
        xScreenOffset += DisplayWidth(display, xScreen) * pointsPerPixel;
    }
    return all;
}

Monitor Connection::monitorAt(int xScreen, int x, int y) const {
    const auto all = monitors();
    const Monitor* first = nullptr;
    for (const auto& monitor : all) {
        if (monitor.xScreen != xScreen) continue;
        if (contains(monitor.pixels, x, y)) return monitor;
        if (!first) first = &monitor;
    }
    return first ? *first : all.front();
}

unsigned long Connection::rootWindow() const { return DefaultRootWindow(displayOf(display_)); }

void Connection::addTarget(unsigned long window, EventTarget* target) {
    adoptWindow(window);
    targets_[window] = target;
}

void Connection::removeTarget(unsigned long window) { targets_.erase(window); }

void Connection::adoptWindow(unsigned long window) { adoptWindowForErrors(window); }

void Connection::synchronize() { XSync(displayOf(display_), False); }

bool Connection::hasEvents() { return XPending(displayOf(display_)) > 0; }

void Connection::setMonitorsChangedHandler(std::function<void()> handler) {
    monitorsChanged_ = std::move(handler);
    if (randrEventBase_ < 0) return;
    Display* display = displayOf(display_);
    for (int xScreen = 0; xScreen < ScreenCount(display); ++xScreen) {
        XRRSelectInput(display, RootWindow(display, xScreen), monitorsChanged_ ? kMonitorEvents : 0);
    }
    XFlush(display);
}

void Connection::dispatchEvents() {
    Display* display = displayOf(display_);
    bool monitorsChanged = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (takeMonitorEvent(event)) {
            monitorsChanged = true;
            continue;
        }
        // Looked up per event: a handler may close windows.
        if (const auto target = targets_.find(event.xany.window); target != targets_.end()) {
            target->second->handleEvent(event);
        }
    }
    // Once for a burst: a resize of the screen comes as several events.
    if (monitorsChanged && monitorsChanged_) monitorsChanged_();
}

bool Connection::takeMonitorEvent(XEvent& event) {
    if (randrEventBase_ < 0) return false;
    if (event.type == randrEventBase_ + RRScreenChangeNotify) {
        // Xlib's own idea of the screen's size follows.
        XRRUpdateConfiguration(&event);
        return true;
    }
    return event.type == randrEventBase_ + RRNotify;
}

void Connection::windowLost(unsigned long window) {
    if (const auto target = targets_.find(window); target != targets_.end()) target->second->windowLost();
}

} // namespace view::x11
