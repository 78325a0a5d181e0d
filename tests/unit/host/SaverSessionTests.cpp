// The host's session of saver views on a server of the test's own: views
// hidden while their window cannot be seen or the monitors are dark, and
// started again when the GPU is lost; and the monitors followed, on any
// display server.
#include "host/MonitorFollower.h"
#include "host/SaverSession.h"

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/gpu/DeviceLossAnnouncement.h"
#include "platform/view/x11/Connection.h"
#include "platform/view/x11/X11WindowBackend.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines None and Bool as macros.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr auto kServerTime = 5s;

const XvfbServer& server() {
    static const XvfbServer shared({"320x180x24"});
    return shared;
}

view::x11::Connection& connection() {
    setenv("DISPLAY", server().display().c_str(), 1);
    std::string failure;
    auto* connection = view::x11::Connection::open(&failure);
    if (!connection) throw std::runtime_error(failure);
    return *connection;
}

// A saver view that writes down what its host does with it.
class RecordingSaverView : public view::ScreenSaverView {
public:
    RecordingSaverView(view::Rect frame, bool isPreview) : ScreenSaverView(frame, isPreview) {}

    std::vector<std::string> calls;

    void startAnimation() override { calls.push_back("start"); }
    void stopAnimation() override { calls.push_back("stop"); }

protected:
    void viewDidHide() override { calls.push_back("hide"); }
    void viewDidUnhide() override { calls.push_back("unhide"); }
};

// What the host asked of the view, without the hiding that windows lying
// over each other cause.
std::vector<std::string> startsAndStops(const RecordingSaverView& view) {
    std::vector<std::string> calls = view.calls;
    std::erase_if(calls, [](const std::string& call) { return call != "start" && call != "stop"; });
    return calls;
}

std::vector<std::shared_ptr<RecordingSaverView>>& madeViews() {
    static std::vector<std::shared_ptr<RecordingSaverView>> views;
    return views;
}

const view::ScreenSaverViewClass kRecordingClass{
    [](view::Rect frame, bool isPreview) -> std::shared_ptr<view::ScreenSaverView> {
        return madeViews().emplace_back(std::make_shared<RecordingSaverView>(frame, isPreview));
    },
    [] { return false; },
};

// The monitors' power as a test says it is.
class SettablePowerSource : public DisplayPowerSource {
public:
    void setHandler(Handler handler) override { handler_ = std::move(handler); }
    void setLit(bool lit) { handler_(lit); }

private:
    Handler handler_;
};

// Another program's window, which the session draws into, and what that
// program does to it.
class GivenWindow {
public:
    GivenWindow() : display_(XOpenDisplay(server().display().c_str())) {
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 160, 90, 0, 0, 0);
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~GivenWindow() {
        if (cover_) XDestroyWindow(display_, cover_);
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }

    unsigned long id() const { return window_; }
    void setMapped(bool mapped) {
        mapped ? XMapWindow(display_, window_) : XUnmapWindow(display_, window_);
        XSync(display_, False);
    }
    // Another window over all of it, or none.
    void setCovered(bool covered) {
        if (covered) {
            cover_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 120, 0, 0, 0);
            XMapRaised(display_, cover_);
        } else {
            XDestroyWindow(display_, cover_);
            cover_ = 0;
        }
        XSync(display_, False);
    }

private:
    Display* display_;
    ::Window window_ = 0;
    ::Window cover_ = 0;
};

class Session : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server().display().empty()) << "no Xvfb for the test";
        madeViews().clear();
    }

    // A window that outlives the session, so that the session lets go of
    // it while it still exists.
    GivenWindow& newWindow() { return windows_.emplace_back(); }

    std::shared_ptr<RecordingSaverView> showIn(const GivenWindow& window) {
        auto backend = view::x11::X11WindowBackend::newGiven(connection(), window.id());
        const auto shown = session.show(std::move(backend), false, [] {});
        EXPECT_NE(shown, 0u);
        return madeViews().back();
    }

    // Once the session has heard what the server did for the test.
    static bool hiddenBecomes(const RecordingSaverView& view, bool hidden) {
        connection().synchronize();
        dispatch::MainQueue::shared().runPending();
        return dispatch::MainQueue::shared().runUntil([&] { return view.isHidden() == hidden; }, kServerTime);
    }

    std::deque<GivenWindow> windows_;
    SaverSession session{kRecordingClass};
};

} // namespace

TEST_F(Session, HidesAViewWhileItsWindowIsUnmappedOrCoveredOrTheMonitorsAreDark) {
    GivenWindow& window = newWindow();
    SettablePowerSource power;
    session.followDisplayPower(power);
    const auto view = showIn(window);
    session.startAnimation();
    ASSERT_FALSE(view->isHidden());

    struct Step {
        const char* what;
        std::function<void()> make;
        bool hidden;
    };
    const Step steps[] = {
        {"monitors dark", [&] { power.setLit(false); }, true},
        {"covered while dark", [&] { window.setCovered(true); }, true},
        {"monitors lit, still covered", [&] { power.setLit(true); }, true},
        {"uncovered", [&] { window.setCovered(false); }, false},
        {"unmapped", [&] { window.setMapped(false); }, true},
        {"mapped again", [&] { window.setMapped(true); }, false},
        {"covered", [&] { window.setCovered(true); }, true},
        {"uncovered again", [&] { window.setCovered(false); }, false},
    };
    for (const auto& step : steps) {
        step.make();
        EXPECT_TRUE(hiddenBecomes(*view, step.hidden)) << step.what;
    }
    // The host never stops a view for this: hiding is what suspends it.
    EXPECT_EQ(std::count(view->calls.begin(), view->calls.end(), "stop"), 0);
    EXPECT_EQ(std::count(view->calls.begin(), view->calls.end(), "hide"), 3) << testing::PrintToString(view->calls);
}

TEST_F(Session, StartsEveryShownViewAgainOnceForABurstOfLosses) {
    const auto firstView = showIn(newWindow());
    const auto secondView = showIn(newWindow());
    session.startAnimation();
    auto backend = view::x11::X11WindowBackend::newGiven(connection(), newWindow().id());
    const auto closedId = session.show(std::move(backend), false, [] { FAIL() << "closed by the session itself"; });
    const auto closedView = madeViews().back();
    session.close(closedId);

    auto& center = foundation::NotificationCenter::defaultCenter();
    for (int loss = 0; loss < 3; ++loss) center.postNotificationName(gpu::kDeviceOrSurfaceLostNotification);
    dispatch::MainQueue::shared().runUntil([] { return false; }, 500ms);

    const std::vector<std::string> restarted{"start", "stop", "start"};
    EXPECT_EQ(startsAndStops(*firstView), restarted);
    EXPECT_EQ(startsAndStops(*secondView), restarted);
    // A view shown once the session has started starts at once; closed,
    // it stops and stays stopped.
    EXPECT_EQ(startsAndStops(*closedView), (std::vector<std::string>{"start", "stop"}));

    session.stop();
    center.postNotificationName(gpu::kDeviceOrSurfaceLostNotification);
    dispatch::MainQueue::shared().runUntil([] { return false; }, 300ms);
    EXPECT_EQ(startsAndStops(*firstView).back(), "stop") << "a stopped session starts nothing";
}

namespace {

// A display server of the test's: monitors as the test sets them, windows
// that only write down what is done with them.
class ListedDisplayServer : public view::DisplayServer {
public:
    std::vector<std::string> log;
    bool hasBackgroundLayer = true;

    class Backend : public view::WindowBackend {
    public:
        Backend(ListedDisplayServer& server, std::shared_ptr<view::Screen> monitor)
            : server_(server), monitor_(std::move(monitor)) {}
        void attach(const std::shared_ptr<view::Window>&) override {}
        view::Size contentSize() const override { return monitor_->frame().size; }
        double backingScaleFactor() const override { return 1.0; }
        std::shared_ptr<view::Screen> screen() const override { return monitor_; }
        void showContents(const graphics::BitmapImageRep&) override {}
        std::unique_ptr<view::NativeSurface> newChildSurface(view::Rect) override { return nullptr; }
        void close() override { server_.note("close", *monitor_); }
        void takeInput() override { server_.note("input", *monitor_); }

    private:
        ListedDisplayServer& server_;
        std::shared_ptr<view::Screen> monitor_;
    };

    static std::shared_ptr<view::Screen> monitor(std::int64_t number, double width) {
        return view::Screen::initWithFrame({{0, 0}, {width, 90}}, 1.0, {{view::kScreenNumberKey, number}});
    }
    void setMonitors(std::vector<std::shared_ptr<view::Screen>> monitors) {
        monitors_ = std::move(monitors);
        if (changed_) changed_();
    }
    void note(const char* what, const view::Screen& monitor) {
        const auto number = std::get<std::int64_t>(monitor.deviceDescription().at(view::kScreenNumberKey));
        log.push_back(std::string(what) + " " + std::to_string(number) + "@" +
                      std::to_string(int(monitor.frame().size.width)));
    }

    gpu::NativeDisplay nativeDisplay() const override { return {}; }
    std::vector<std::shared_ptr<view::Screen>> monitors() override { return monitors_; }
    void setMonitorsChangedHandler(std::function<void()> handler) override { changed_ = std::move(handler); }
    std::unique_ptr<view::WindowBackend> newFullScreenWindow(const std::shared_ptr<view::Screen>& monitor,
                                                             view::FullScreenLayer layer) override {
        if (layer == view::FullScreenLayer::Background && !hasBackgroundLayer) return nullptr;
        note("open", *monitor);
        return std::make_unique<Backend>(*this, monitor);
    }
    std::unique_ptr<view::WindowBackend> newDecoratedWindow(view::Size, const std::string&, std::string*) override {
        return nullptr;
    }
    std::unique_ptr<view::DisplayFade> newDisplayFade() override { return nullptr; }

private:
    std::vector<std::shared_ptr<view::Screen>> monitors_;
    std::function<void()> changed_;
};

} // namespace

// One follower for every window system: a new or changed monitor (a new
// Screen) gets its window before the old one closes, a gone one is closed,
// an unchanged one keeps its window, and the keyboard and pointer go to a
// window that stays.
TEST(MonitorFollowing, OpensWindowsForNewAndChangedMonitorsBeforeClosingTheOldOnes) {
    ListedDisplayServer server;
    const auto first = ListedDisplayServer::monitor(1, 160), second = ListedDisplayServer::monitor(2, 160);
    server.setMonitors({first, second});
    SaverSession session(kRecordingClass);
    MonitorFollower follower(session, server, view::FullScreenLayer::Overlay, {[] {}, [] {}});
    ASSERT_TRUE(follower.showOnEveryMonitor());
    EXPECT_EQ(server.log, (std::vector<std::string>{"open 1@160", "open 2@160"}));

    const auto widened = ListedDisplayServer::monitor(2, 320);
    struct Step {
        const char* what;
        std::vector<std::shared_ptr<view::Screen>> monitors;
        std::vector<std::string> log;
    };
    const Step steps[] = {
        {"the second widened", {first, widened}, {"open 2@320", "close 2@160", "input 1@160"}},
        {"nothing changed", {first, widened}, {}},
        {"the first gone", {widened}, {"close 1@160", "input 2@320"}},
        {"a third added", {widened, ListedDisplayServer::monitor(3, 160)}, {"open 3@160"}},
    };
    for (const auto& step : steps) {
        server.log.clear();
        server.setMonitors(step.monitors);
        EXPECT_EQ(server.log, step.log) << step.what;
    }
    session.stop();
}

TEST(MonitorFollowing, FailsWhereTheServerCannotPutAWindowInTheLayer) {
    ListedDisplayServer server;
    server.hasBackgroundLayer = false;
    server.setMonitors({ListedDisplayServer::monitor(1, 160)});
    SaverSession session(kRecordingClass);
    MonitorFollower follower(session, server, view::FullScreenLayer::Background, {[] {}, [] {}});
    EXPECT_FALSE(follower.showOnEveryMonitor());
    EXPECT_TRUE(server.log.empty());
}
