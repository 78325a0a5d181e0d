#include "tests/unit/ui/gtk/PresenterFixture.h"

#include "platform/dispatch/MainQueue.h"

#include <cstdlib>

const XvfbServer& PresenterTest::server() {
    // One server for the process: GTK opens its display only once.
    static const XvfbServer shared({"1024x768x24"});
    return shared;
}

void PresenterTest::SetUpTestSuite() {
    setenv("DISPLAY", server().display().c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    setenv("GTK_A11Y", "none", 1);
}

void PresenterTest::SetUp() {
    ASSERT_FALSE(server().display().empty()) << "no Xvfb for the test";
    foundation::ErrorRef error;
    ASSERT_TRUE(ui::gtk::initialize(&error)) << error->localizedDescription();
    display_ = std::make_unique<TestDisplay>(server().display());
    input_ = std::make_unique<SyntheticInput>(server().display());
}

bool PresenterTest::runUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return dispatch::MainQueue::shared().runUntil(condition, timeout);
}

bool PresenterTest::runUntilLaidOut(const view::View& view) {
    return runUntil([&] { return view.frame().size.width > 0 && view.frame().size.height > 0; });
}

unsigned long PresenterTest::shownWindow(const std::string& title) {
    unsigned long window = 0;
    runUntil([&] { return (window = display_->windowNamed(title)) != 0; });
    return window;
}

view::Rect frameInWindow(const view::View& view) {
    view::Rect frame = view.frameInWindow();
    // Screenshots count from the top.
    frame.origin.y = view.window()->contentSize().height - frame.origin.y - frame.size.height;
    return frame;
}

::testing::AssertionResult hasColour(const Pixels& pixels, double x, double y, int red, int green, int blue,
                                     int tolerance) {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) {
        return ::testing::AssertionFailure() << x << "," << y << " lies outside the window";
    }
    const Pixel pixel = pixels.at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
    const int found[] = {pixel[2], pixel[1], pixel[0]};
    const int wanted[] = {red, green, blue};
    for (int channel = 0; channel < 3; ++channel) {
        if (std::abs(found[channel] - wanted[channel]) > tolerance) {
            return ::testing::AssertionFailure() << "at " << x << "," << y << ": " << found[0] << "," << found[1]
                                                 << "," << found[2] << " instead of " << red << "," << green << ","
                                                 << blue;
        }
    }
    return ::testing::AssertionSuccess();
}
