// korlan-flow in a window it was given, which its owner hides: no frames
// while nothing of it can be seen, frames again once it shows.
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <regex>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
// --fps reports once a second; a change shows in the second report after
// it at the latest.
constexpr auto kReportTime = 5s;

// The frame rates --fps reported so far.
std::vector<double> framesPerSecond(const std::string& errorOutput) {
    static const std::regex report(R"(korlan-flow: ([0-9.]+) frames/s)");
    std::vector<double> rates;
    for (auto match = std::sregex_iterator(errorOutput.begin(), errorOutput.end(), report);
         match != std::sregex_iterator(); ++match) {
        rates.push_back(std::stod((*match)[1]));
    }
    return rates;
}

// The last two reports, whole seconds after the change, say the frames
// stopped, or that they come again.
bool lastTwoReports(const HostProcess& host, bool framesShown) {
    const auto rates = framesPerSecond(host.errorOutput());
    if (rates.size() < 2) return false;
    return std::all_of(rates.end() - 2, rates.end(), [&](double rate) { return (rate > 0.0) == framesShown; });
}

} // namespace

TEST(Power, NoFramesWhileTheGivenWindowOrAnAncestorIsUnmappedOrItIsCoveredAndFramesAgainOnceItShows) {
    const XvfbServer server({"320x180x24"});
    TestDisplay screen(server.display());
    ASSERT_TRUE(screen.isOpen()) << "no Xvfb for the test";
    // As a daemon's preview pane sits inside its settings window.
    const unsigned long ancestor = screen.createWindow(320, 180);
    const unsigned long given = screen.createChildWindow(screen.createChildWindow(ancestor, 320, 180), 320, 180);
    HostProcess host({"--window-id", std::to_string(given), "--software", "--fps"}, {"DISPLAY=" + server.display()});
    ASSERT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(given)); }, kStartTime))
        << host.errorOutput();

    unsigned long cover = 0;
    struct Case {
        const char* how;
        std::function<void()> hide, show;
    };
    const Case cases[] = {
        {"unmapped", [&] { screen.setMapped(given, false); }, [&] { screen.setMapped(given, true); }},
        // It stays mapped itself, and hears nothing.
        {"inside an unmapped ancestor", [&] { screen.setMapped(ancestor, false); },
         [&] { screen.setMapped(ancestor, true); }},
        {"covered by another window", [&] { cover = screen.createWindow(400, 240); },
         [&] { screen.destroyWindow(cover); }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(eventually([&] { return lastTwoReports(host, true); }, kReportTime)) << c.how << ": before";
        c.hide();
        EXPECT_TRUE(eventually([&] { return lastTwoReports(host, false); }, kReportTime))
            << c.how << ": frames went on while hidden: " << host.errorOutput();
        c.show();
        EXPECT_TRUE(eventually([&] { return lastTwoReports(host, true); }, kReportTime))
            << c.how << ": no frames once shown again: " << host.errorOutput();
        EXPECT_TRUE(eventually([&] { return showsThePattern(screen.pixelsOf(given)); }, kReportTime)) << c.how;
    }

    host.signal(SIGTERM);
    const auto status = host.waitForExit(kReportTime);
    ASSERT_TRUE(status.has_value()) << "still running after SIGTERM";
    EXPECT_EQ(*status, 0) << host.errorOutput();
    EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
}
