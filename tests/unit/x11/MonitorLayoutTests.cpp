// What the X11 backend works out without a server: the DPI, the display
// numbers and where monitors lie in points.
#include "platform/view/x11/MonitorLayout.h"

#include <gtest/gtest.h>

#include <set>

using namespace view::x11;

TEST(MonitorLayout, TakesTheDPIFromXftDpiWithinSaneBoundsAndFallsBackTo96) {
    struct Case {
        const char* resources;
        double dotsPerInch;
    };
    for (const auto& c : {Case{nullptr, 96.0}, Case{"", 96.0}, Case{"Xft.antialias:\t1\n", 96.0},
                          Case{"Xft.dpi:\t192\n", 192.0}, Case{"Xft.dpi: 144.5\nXft.hinting: 1\n", 144.5},
                          Case{"*dpi: 120\n", 120.0}, Case{"Xft.dpi:\t0\n", 96.0}, Case{"Xft.dpi:\t-96\n", 96.0},
                          Case{"Xft.dpi:\thigh\n", 96.0}, Case{"Xft.dpi:\t96px\n", 96.0},
                          Case{"Xft.dpi:\tnan\n", 96.0}, Case{"Xft.dpi:\tinf\n", 96.0},
                          Case{"Xft.dpi:\t9600\n", 480.0}, Case{"Xft.dpi:\t480\n", 480.0},
                          Case{"Xft.dpi:\t47.9\n", 48.0}, Case{"Xft.dpi:\t1e-300\n", 48.0}}) {
        EXPECT_EQ(dotsPerInchFromResources(c.resources), c.dotsPerInch) << (c.resources ? c.resources : "(none)");
    }
}

TEST(MonitorLayout, NumbersAMonitorByItsFirstOutputElseByItsPlaceAboveEveryOutput) {
    EXPECT_EQ(screenNumberForMonitor(0x42, 0, 0), 0x42);
    EXPECT_EQ(screenNumberForMonitor(0x42, 1, 3), 0x42);
    // Without an output: the same place, the same number; every place its
    // own, and none that an output id (29 bits) could take.
    EXPECT_EQ(screenNumberForMonitor(0, 1, 2), screenNumberForMonitor(0, 1, 2));
    std::set<std::int64_t> numbers;
    for (int xScreen = 0; xScreen < 3; ++xScreen) {
        for (int monitor = 0; monitor < 4; ++monitor) {
            const auto number = screenNumberForMonitor(0, xScreen, monitor);
            EXPECT_GE(number, std::int64_t{1} << 29);
            numbers.insert(number);
        }
    }
    EXPECT_EQ(numbers.size(), 12u);
}

TEST(MonitorLayout, PlacesMonitorsInPointsFromTheLowerLeft) {
    struct Case {
        PixelRect monitor;
        unsigned rootHeight;
        double xScreenOffset, pointsPerPixel;
        view::Rect frame;
    };
    for (const auto& c : {
             // One monitor filling its X screen.
             Case{{0, 0, 640, 360}, 360, 0.0, 1.0, {{0, 0}, {640, 360}}},
             // The second X screen stands to the right of the first.
             Case{{0, 0, 480, 270}, 270, 640.0, 1.0, {{640, 0}, {480, 270}}},
             // A monitor at the top of a taller root lies high up.
             Case{{1920, 0, 1280, 720}, 1080, 0.0, 1.0, {{1920, 360}, {1280, 720}}},
             // At 192 DPI two pixels make a point.
             Case{{0, 1080, 3840, 2160}, 3240, 0.0, 0.5, {{0, 0}, {1920, 1080}}},
         }) {
        const view::Rect frame = screenFrameForMonitor(c.monitor, c.rootHeight, c.xScreenOffset, c.pointsPerPixel);
        EXPECT_EQ(frame.origin.x, c.frame.origin.x);
        EXPECT_EQ(frame.origin.y, c.frame.origin.y);
        EXPECT_EQ(frame.size.width, c.frame.size.width);
        EXPECT_EQ(frame.size.height, c.frame.size.height);
    }
}
