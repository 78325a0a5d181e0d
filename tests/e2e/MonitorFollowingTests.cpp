// korlan-flow full screen while the user changes the monitors with xrandr:
// a view for each monitor, in the right place, and none left over.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
// Well above the half second the host takes, for a busy machine.
constexpr auto kFollowTime = 5s;

struct Area {
    int x, y;
    unsigned width, height;
};

// The saver's windows are exactly the monitors, each showing the pattern
// with the logo in its own upper-left corner.
bool coversExactly(TestDisplay& screen, const std::vector<Area>& monitors) {
    const auto windows = screen.mappedWindows();
    if (windows.size() != monitors.size()) return false;
    const Pixels shown = screen.pixelsOf(screen.rootWindow());
    for (const auto& monitor : monitors) {
        const bool placed = std::ranges::any_of(windows, [&](const TestDisplay::Placed& window) {
            return window.x == monitor.x && window.y == monitor.y && window.width == monitor.width &&
                   window.height == monitor.height;
        });
        const Pixels part = regionOf(shown, monitor.x, monitor.y, monitor.width, monitor.height);
        if (!placed || !showsThePattern(part) || !showsTheLogoInTheUpperLeft(part)) return false;
    }
    return true;
}

} // namespace

TEST(MonitorFollowing, GivesEachMonitorAViewAsMonitorsAreSplitRemovedAndTheScreenResized) {
    const XvfbServer server({"640x360x24"});
    TestDisplay screen(server.display());
    ASSERT_TRUE(screen.isOpen()) << "no Xvfb for the test";
    const auto xrandr = [&](const std::string& arguments) {
        return std::system(("xrandr --display " + server.display() + " " + arguments + " >/dev/null").c_str());
    };
    ASSERT_EQ(xrandr("--newmode small 10 480 481 482 483 270 271 272 273"), 0);
    ASSERT_EQ(xrandr("--addmode screen small"), 0);

    HostProcess host({"--software"}, {"DISPLAY=" + server.display()});
    ASSERT_TRUE(eventually([&] { return coversExactly(screen, {{0, 0, 640, 360}}); }, kStartTime))
        << host.errorOutput();

    struct Step {
        const char* change;
        std::vector<Area> monitors;
    };
    const Step steps[] = {
        // The first replaces the whole-screen monitor, the second adds one.
        {"--setmonitor left 320/85x360/95+0+0 screen", {{0, 0, 320, 360}}},
        {"--setmonitor right 320/85x360/95+320+0 none", {{0, 0, 320, 360}, {320, 0, 320, 360}}},
        {"--delmonitor right", {{0, 0, 320, 360}}},
        {"--delmonitor left", {{0, 0, 640, 360}}},
        {"--fb 480x270 --output screen --mode small", {{0, 0, 480, 270}}},
        {"--fb 640x360 --output screen --mode 640x360", {{0, 0, 640, 360}}},
    };
    for (const auto& step : steps) {
        ASSERT_EQ(xrandr(step.change), 0) << step.change;
        const auto changed = std::chrono::steady_clock::now();
        EXPECT_TRUE(eventually([&] { return coversExactly(screen, step.monitors); }, kFollowTime))
            << step.change << ": " << host.errorOutput();
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                                 changed);
        std::printf("%s: followed within %lld ms\n", step.change, static_cast<long long>(took.count()));
    }

    host.signal(SIGTERM);
    const auto status = host.waitForExit(kFollowTime);
    ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
    EXPECT_EQ(*status, 0) << host.errorOutput();
    EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
}
