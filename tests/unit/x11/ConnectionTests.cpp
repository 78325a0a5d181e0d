// The X11 backend against a real server of the test's own: monitors and
// their numbers, windows that vanish under us, and errors that are not
// fatal.
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/view/Window.h"
#include "platform/view/x11/X11WindowBackend.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines None and Bool as macros.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <set>

using namespace std::chrono_literals;
using view::x11::Connection;

namespace {

// One server per test process, like the one connection.
const XvfbServer& server() {
    static auto* shared = new XvfbServer({"640x360x24", "480x270x24"});
    return *shared;
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
