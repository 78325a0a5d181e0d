// The X11 backend against a real server of the test's own: monitors and
// their numbers, windows that vanish under us, and errors that are not
// fatal.
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/view/Window.h"
#include "platform/view/x11/MonitorWatch.h"
#include "platform/view/x11/X11WindowBackend.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines None and Bool as macros.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <set>

using namespace std::chrono_literals;
using view::x11::Connection;

namespace {

// One server per test process, like the one connection.
const XvfbServer& server() {
    static const XvfbServer shared({"640x360x24", "480x270x24"});
    return shared;
}

Connection& connection() {
    setenv("DISPLAY", server().display().c_str(), 1);
    std::string failure;
    Connection* connection = Connection::open(&failure);
    if (!connection) throw std::runtime_error(failure);
    return *connection;
}

std::int64_t numberOf(const view::x11::Monitor& monitor) {
    return std::get<std::int64_t>(monitor.screen->deviceDescription().at(view::kScreenNumberKey));
}

} // namespace

TEST(X11Connection, ListsTheMonitorsOfEveryXScreenWithANumberEach) {
    auto& x11 = connection();
    // A second monitor without an output on the first X screen, as
    // xrandr --setmonitor makes one.
    const std::string addMonitor =
        "xrandr --display " + server().display() + " --setmonitor extra 320/85x180/48+320+180 none";
    ASSERT_EQ(std::system(addMonitor.c_str()), 0);

    const auto monitors = x11.monitors();
    ASSERT_EQ(monitors.size(), 3u);
    struct Expected {
        int xScreen;
        view::x11::PixelRect pixels;
        view::Rect frame;
        bool hasOutput;
    };
    const Expected expected[] = {
        {0, {320, 180, 320, 180}, {{320, 0}, {320, 180}}, false},
        {0, {0, 0, 640, 360}, {{0, 0}, {640, 360}}, true},
        {1, {0, 0, 480, 270}, {{640, 0}, {480, 270}}, true},
    };
    std::set<std::int64_t> numbers;
    for (std::size_t index = 0; index < monitors.size(); ++index) {
        const auto& monitor = monitors[index];
        const auto& want = expected[index];
        EXPECT_EQ(monitor.xScreen, want.xScreen) << index;
        EXPECT_EQ(monitor.pixels.x, want.pixels.x) << index;
        EXPECT_EQ(monitor.pixels.y, want.pixels.y) << index;
        EXPECT_EQ(monitor.pixels.width, want.pixels.width) << index;
        EXPECT_EQ(monitor.screen->frame().origin.x, want.frame.origin.x) << index;
        EXPECT_EQ(monitor.screen->frame().origin.y, want.frame.origin.y) << index;
        EXPECT_EQ(monitor.screen->frame().size.width, want.frame.size.width) << index;
        EXPECT_EQ(monitor.screen->backingScaleFactor(), 1.0);
        // An output's id is an X resource id; the others number above them.
        EXPECT_EQ(numberOf(monitor) < (std::int64_t{1} << 29), want.hasOutput) << index;
        numbers.insert(numberOf(monitor));
    }
    EXPECT_EQ(numbers.size(), 3u);
    // The same monitors give the same numbers when read again.
    EXPECT_EQ(numberOf(x11.monitors()[0]), numberOf(monitors[0]));
    EXPECT_EQ(numberOf(x11.monitorAt(0, 400, 200)), numberOf(monitors[0]));
    EXPECT_EQ(numberOf(x11.monitorAt(1, 10, 10)), numberOf(monitors[2]));
}

// A window another program gave us and then destroyed closes its
// view::Window, which tells its observers, and nothing is fatal: the
// requests that reach the vanished window afterwards are answered with
// errors that are expected.
TEST(X11Connection, AGivenWindowThatIsDestroyedClosesItsWindow) {
    auto& x11 = connection();
    Display* owner = XOpenDisplay(server().display().c_str());
    ASSERT_NE(owner, nullptr);
    const ::Window given = XCreateSimpleWindow(owner, DefaultRootWindow(owner), 0, 0, 200, 100, 0, 0, 0);
    XMapWindow(owner, given);
    XSync(owner, False);

    std::string failure;
    auto backend = view::x11::X11WindowBackend::newGiven(x11, given, &failure);
    ASSERT_TRUE(backend) << failure;
    auto* shown = backend.get();
    const auto window = view::Window::initWithBackend(std::move(backend));
    EXPECT_EQ(window->contentSize().width, 200.0);
    bool closed = false;
    const auto observer = foundation::NotificationCenter::defaultCenter().addObserverForName(
        view::kWindowWillCloseNotification, window.get(), [&](const foundation::Notification&) { closed = true; });
    auto child = shown->newChildSurface({{10, 10}, {50, 50}});
    ASSERT_TRUE(child);

    testing::internal::CaptureStderr();
    XDestroyWindow(owner, given);
    XSync(owner, False);
    EXPECT_TRUE(dispatch::MainQueue::shared().runUntil([&] { return closed; }, 5s));
    EXPECT_FALSE(window->isVisible());
    // The child went with its parent; destroying it again is an expected
    // error, not one to log.
    child.reset();
    x11.synchronize();
    dispatch::MainQueue::shared().runPending();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    foundation::NotificationCenter::defaultCenter().removeObserver(observer);
    XCloseDisplay(owner);
}

TEST(X11Connection, LogsAnErrorThatIsNotAboutOurWindowsOnceAndGoesOn) {
    auto& x11 = connection();
    auto* display = static_cast<Display*>(x11.display());
    testing::internal::CaptureStderr();
    for (int time = 0; time < 3; ++time) XFreePixmap(display, 0x1234567);
    x11.synchronize();
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(logged.find("korlan-flow: X error: BadPixmap"), std::string::npos) << logged;
    EXPECT_EQ(logged.find("X error", logged.find("X error") + 1), std::string::npos) << "logged twice: " << logged;
    // Still connected.
    EXPECT_FALSE(x11.monitors().empty());
}

TEST(X11Connection, AWindowThatDoesNotExistCannotBeGiven) {
    std::string failure;
    EXPECT_FALSE(view::x11::X11WindowBackend::newGiven(connection(), 0x7ffff0, &failure));
    EXPECT_EQ(failure, "there is no window 0x7ffff0");
}

namespace {

bool xrandr(const std::string& arguments) {
    return std::system(("xrandr --display " + server().display() + " --screen 0 " + arguments).c_str()) == 0;
}

} // namespace

// Monitors set by a client are announced to nobody and come with the next
// reading; a resized X screen comes with RandR's events. Either way the
// watch reports the list once it differs, and never when it does not.
TEST(X11Connection, AMonitorWatchReportsEachChangeOfTheMonitorsAndNothingElse) {
    auto& x11 = connection();
    std::vector<std::vector<view::x11::Monitor>> reported;
    const view::x11::MonitorWatch watch(x11, [&](const auto& monitors) { reported.push_back(monitors); });
    ASSERT_EQ(watch.monitors().size(), 2u);
    auto& queue = dispatch::MainQueue::shared();
    queue.runUntil([] { return false; }, 500ms);
    EXPECT_TRUE(reported.empty()) << "reported without a change";

    struct Step {
        const char* xrandr;
        // A new mode alone changes no monitor.
        bool changesMonitors;
        std::size_t monitors;
        unsigned firstWidth;
    };
    const Step steps[] = {
        {"--setmonitor watched 160/42x90/24+0+0 none", true, 3, 160},
        {"--delmonitor watched", true, 2, 640},
        {"--newmode small 10 320 321 322 323 180 181 182 183", false, 2, 640},
        {"--addmode screen small", false, 2, 640},
        {"--fb 320x180 --output screen --mode small", true, 2, 320},
    };
    for (const auto& step : steps) {
        reported.clear();
        ASSERT_TRUE(xrandr(step.xrandr)) << step.xrandr;
        queue.runUntil([&] { return !reported.empty() && reported.back()[0].pixels.width == step.firstWidth; },
                       step.changesMonitors ? 2s : 500ms);
        EXPECT_EQ(reported.empty(), !step.changesMonitors) << step.xrandr;
        EXPECT_EQ(watch.monitors().size(), step.monitors) << step.xrandr;
        EXPECT_EQ(watch.monitors()[0].pixels.width, step.firstWidth) << step.xrandr;
    }
}

// Xft.dpi as it is when a window is made: a window keeps the scale it was
// made with.
TEST(X11Connection, ReadsTheServersDpiAnewForEveryWindow) {
    auto& x11 = connection();
    Display* user = XOpenDisplay(server().display().c_str());
    ASSERT_NE(user, nullptr);
    const ::Window given = XCreateSimpleWindow(user, DefaultRootWindow(user), 0, 0, 200, 100, 0, 0, 0);
    XSync(user, False);
    const auto setResources = [&](const std::string& text) {
        XChangeProperty(user, DefaultRootWindow(user), XInternAtom(user, "RESOURCE_MANAGER", False), XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
        XSync(user, False);
    };
    setResources("Xft.dpi:\t96\n");
    const auto earlier = view::x11::X11WindowBackend::newGiven(x11, given);
    struct Case {
        const char* resources;
        double scale;
    };
    for (const auto& c : {Case{"Xft.dpi:\t192\n", 2.0}, Case{"Xft.antialias:\t1\nXft.dpi:\t144\n", 1.5},
                          Case{"Xft.antialias:\t1\n", 1.0}}) {
        setResources(c.resources);
        EXPECT_EQ(x11.backingScaleFactor(), c.scale) << c.resources;
        EXPECT_EQ(x11.monitors()[0].screen->backingScaleFactor(), c.scale) << c.resources;
        EXPECT_EQ(view::x11::X11WindowBackend::newGiven(x11, given)->backingScaleFactor(), c.scale) << c.resources;
        EXPECT_EQ(earlier->backingScaleFactor(), 1.0) << c.resources;
    }
    XDeleteProperty(user, DefaultRootWindow(user), XInternAtom(user, "RESOURCE_MANAGER", False));
    XCloseDisplay(user);
}
