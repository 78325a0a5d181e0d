// korlan-flow on Wayland compositors of the test's own, drawing on the CPU
// device: over every output of sway through the layer shell, as a
// wallpaper below its windows, and refusing what cannot work.
#include "tests/e2e/HeadlessCompositor.h"
#include "tests/e2e/HostProcess.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/PixelStatistics.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartTime = 30s;
constexpr auto kFollowTime = 5s;
// A key or a signal gives the desktop back within a second...
constexpr auto kEndTime = 1s;
// ...and the host then waits for the displays' brightness to come back.
constexpr auto kFadeBackTime = 600ms;
// More than the second without frame callbacks after which a covered
// surface counts as hidden.
constexpr auto kHideTime = 5s;

#define SKIP_WITHOUT(compositor) \
    if (!(compositor).isRunning()) GTEST_SKIP() << (compositor).whyNot()

bool coversWithTheSaver(const HeadlessCompositor& compositor, const std::string& output) {
    const auto shown = compositor.capture(output);
    return shown && showsThePattern(*shown) && showsTheLogoInTheUpperLeft(*shown);
}

// Drawn in the output's own pixels, not in fewer that the compositor
// stretched: neighbours in a row differ about as often as the pattern
// changes, not only at every second pixel.
bool isDrawnInEveryPixel(const Pixels& pixels) {
    std::size_t pairs = 0, same = 0;
    for (std::uint32_t y = 0; y < pixels.height; y += 7) {
        for (std::uint32_t x = 0; x + 1 < pixels.width; x += 2, ++pairs) {
            if (pixels.at(x, y) == pixels.at(x + 1, y)) ++same;
        }
    }
    return pairs > 0 && same * 2 < pairs;
}

double lastFrameRate(const HostProcess& host) {
    const auto rates = frameRatesIn(host.errorOutput());
    return rates.empty() ? -1.0 : rates.back();
}

} // namespace

TEST(Wayland, CoversEveryOutputAtItsScaleFollowsNewAndChangedOnesAndEndsOnAKey) {
    // The same size in points, the second at twice the pixels.
    const auto compositor = HeadlessCompositor::sway({{640, 360, 1}, {1280, 720, 2}});
    SKIP_WITHOUT(compositor);
    HostProcess host({"--software", "--fps"}, compositor.clientEnvironment());
    ASSERT_TRUE(eventually(
        [&] { return coversWithTheSaver(compositor, "HEADLESS-1") && coversWithTheSaver(compositor, "HEADLESS-2"); },
        kStartTime))
        << host.errorOutput();

    // The logo keeps its size in points, and the pattern is drawn in the
    // output's pixels.
    const PixelBox logo = logoBoxOf(*compositor.capture("HEADLESS-1"));
    const PixelBox doubled = logoBoxOf(*compositor.capture("HEADLESS-2"));
    EXPECT_TRUE(isDrawnInEveryPixel(*compositor.capture("HEADLESS-2")));
    ASSERT_GT(logo.width, 0u);
    EXPECT_NEAR(double(doubled.x), 2.0 * logo.x, 2.0);
    EXPECT_NEAR(double(doubled.y), 2.0 * logo.y, 2.0);
    EXPECT_NEAR(double(doubled.width), 2.0 * logo.width, 2.0);
    EXPECT_NEAR(double(doubled.height), 2.0 * logo.height, 2.0);

    // The pattern moves.
    const auto before = compositor.capture("HEADLESS-1");
    std::this_thread::sleep_for(500ms);
    const auto after = compositor.capture("HEADLESS-1");
    ASSERT_TRUE(before && after);
    EXPECT_GT(meanAbsoluteDifference(*before, *after), 0.1);

    ASSERT_TRUE(compositor.command({"create_output"}));
    const auto added = std::chrono::steady_clock::now();
    EXPECT_TRUE(eventually([&] { return coversWithTheSaver(compositor, "HEADLESS-3"); }, kFollowTime))
        << host.errorOutput();
    std::printf("a new output got its view within %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - added)
                        .count()));

    // A changed scale gets a view drawn at it: the logo twice the pixels.
    ASSERT_TRUE(compositor.command({"output", "HEADLESS-1", "resolution", "1280x720", "scale", "2"}));
    EXPECT_TRUE(eventually(
        [&] {
            const auto shown = compositor.capture("HEADLESS-1");
            return shown && shown->width == 1280 && logoBoxOf(*shown) == doubled && isDrawnInEveryPixel(*shown);
        },
        kFollowTime))
        << host.errorOutput();

    ASSERT_TRUE(compositor.typeKeys({"q"}));
    const auto typed = std::chrono::steady_clock::now();
    EXPECT_TRUE(eventually([&] { return !showsThePattern(*compositor.capture("HEADLESS-1")); }, kEndTime));
    EXPECT_EQ(host.waitForExit(kEndTime + kFadeBackTime), 0) << host.errorOutput();
    std::printf("a key ended the saver within %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - typed)
                        .count()));
    EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");
}

TEST(Wayland, EndsOnSIGTERMOrAHangUpAndSaysInOneLineWhyItCannotCoverTheOutputs) {
    const auto sway = HeadlessCompositor::sway({{320, 180, 1}});
    SKIP_WITHOUT(sway);
    HostProcess host({"--software"}, sway.clientEnvironment());
    ASSERT_TRUE(eventually([&] { return coversWithTheSaver(sway, "HEADLESS-1"); }, kStartTime)) << host.errorOutput();
    host.signal(SIGTERM);
    EXPECT_EQ(host.waitForExit(kEndTime), 0) << host.errorOutput();
    EXPECT_EQ(validationMessagesIn(host.errorOutput()), "");

    std::optional<HeadlessCompositor> leaving = HeadlessCompositor::sway({{320, 180, 1}});
    HostProcess orphaned({"--software"}, leaving->clientEnvironment());
    ASSERT_TRUE(eventually([&] { return coversWithTheSaver(*leaving, "HEADLESS-1"); }, kStartTime))
        << orphaned.errorOutput();
    leaving.reset();
    EXPECT_EQ(orphaned.waitForExit(kStartTime), 1);
    EXPECT_EQ(orphaned.errorOutput(), "korlan-flow: the Wayland compositor hung up; stopping\n");

    struct Case {
        std::vector<std::string> environment;
        std::vector<std::string> arguments;
        const char* line;
    };
    const auto weston = HeadlessCompositor::weston();
    std::vector<Case> cases = {
        {{"WAYLAND_DISPLAY=/nonexistent/wayland-0", "DISPLAY="}, {"--software"},
         "korlan-flow: cannot connect to the Wayland compositor /nonexistent/wayland-0\n"},
        {{"WAYLAND_DISPLAY=", "XDG_RUNTIME_DIR=", "DISPLAY="}, {"--wayland"},
         "korlan-flow: cannot connect to the Wayland compositor wayland-0: XDG_RUNTIME_DIR is not set\n"},
    };
    // GNOME's compositor has no layer shell; weston stands in for it.
    if (weston.isRunning()) {
        cases.push_back({weston.clientEnvironment(), {"--software"},
                         "korlan-flow: the Wayland compositor has no layer shell (zwlr_layer_shell_v1) to cover its "
                         "outputs with (GNOME has none); --window shows the saver in a window there\n"});
    } else {
        std::printf("without a layer shell: not tried, %s\n", weston.whyNot().c_str());
    }
    for (const auto& c : cases) {
        HostProcess failing(c.arguments, c.environment);
        EXPECT_EQ(failing.waitForExit(kStartTime), 1) << c.line;
        EXPECT_EQ(failing.errorOutput(), c.line);
    }
}

TEST(Wayland, TheWallpaperDrawsBelowWindowsAndNothingWhileAFullScreenWindowCoversIt) {
    const auto compositor = HeadlessCompositor::sway({{640, 360, 1}});
    SKIP_WITHOUT(compositor);
    HostProcess wallpaper({"--background", "--software", "--fps"}, compositor.clientEnvironment());
    ASSERT_TRUE(eventually([&] { return coversWithTheSaver(compositor, "HEADLESS-1"); }, kStartTime))
        << wallpaper.errorOutput();
    ASSERT_TRUE(eventually([&] { return lastFrameRate(wallpaper) > 10.0; }, kStartTime)) << wallpaper.errorOutput();

    // The preview needs no GPU: the only frames drawn are the wallpaper's.
    HostProcess window({"preview"}, compositor.clientEnvironment());
    ASSERT_TRUE(eventually([&] { return compositor.command({"[app_id=korlan-flow] fullscreen enable"}); },
                           kStartTime));
    EXPECT_TRUE(eventually([&] { return lastFrameRate(wallpaper) == 0.0; }, kHideTime)) << wallpaper.errorOutput();

    // Closed as the user closes a window: the program ends.
    ASSERT_TRUE(compositor.command({"[app_id=korlan-flow] kill"}));
    EXPECT_EQ(window.waitForExit(kStartTime), 0) << window.errorOutput();
    EXPECT_TRUE(eventually([&] { return lastFrameRate(wallpaper) > 10.0; }, kHideTime)) << wallpaper.errorOutput();
    // Input is not its to take: only a signal ends it.
    ASSERT_TRUE(compositor.typeKeys({"q"}));
    EXPECT_FALSE(wallpaper.waitForExit(500ms).has_value());
    wallpaper.signal(SIGTERM);
    EXPECT_EQ(wallpaper.waitForExit(kEndTime), 0) << wallpaper.errorOutput();
    EXPECT_EQ(validationMessagesIn(wallpaper.errorOutput()), "");
}

TEST(Wayland, TheSettingsPaneRunsTheSaverInAWindowOfItsOwnOnTesten) {
    const auto compositor = HeadlessCompositor::sway({{640, 360, 1}});
    SKIP_WITHOUT(compositor);
    auto environment = compositor.clientEnvironment();
    environment.push_back("GTK_A11Y=none");
    HostProcess settings({"settings", "--software"}, environment);
    // The pane alone, with its small preview, is no saver on the output.
    ASSERT_TRUE(eventually([&] { return compositor.command({"[app_id=korlan-flow] focus"}); }, kStartTime))
        << settings.errorOutput();
    EXPECT_FALSE(coversWithTheSaver(compositor, "HEADLESS-1"));
    // "Optionen …" has the focus; the next button is "Testen".
    ASSERT_TRUE(compositor.typeKeys({"Tab", "space"}));
    EXPECT_TRUE(eventually([&] { return coversWithTheSaver(compositor, "HEADLESS-1"); }, kStartTime))
        << settings.errorOutput();
    settings.signal(SIGTERM);
    EXPECT_EQ(settings.waitForExit(kStartTime), 0) << settings.errorOutput();
    EXPECT_EQ(validationMessagesIn(settings.errorOutput()), "");
}
