#pragma once

#include "tests/e2e/SyntheticInput.h"
#include "tests/e2e/TestDisplay.h"
#include "tests/support/XvfbServer.h"

#include "platform/view/View.h"
#include "platform/view/Window.h"
#include "platform/ui/gtk/Presenter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// A display of the test's own for the presenter: an Xvfb server, GTK
// started on it once per process, and a user's input and eyes through
// xdotool and the test's own X client.
class PresenterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    // Runs the main queue (and with it GTK) until the condition holds.
    static bool runUntil(const std::function<bool()>& condition,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Runs the main queue until the view has been laid out and painted.
    static bool runUntilLaidOut(const view::View& view);
    // The X window of the top-level window with the title, once it is shown.
    unsigned long shownWindow(const std::string& title);

    static const XvfbServer& server();
    std::unique_ptr<TestDisplay> display_;
    std::unique_ptr<SyntheticInput> input_;
};

// Where the view lies in its window, from the window's top-left corner, as
// screenshots count.
view::Rect frameInWindow(const view::View& view);

// The pixel's red, green and blue, each within the tolerance.
::testing::AssertionResult hasColour(const Pixels& pixels, double x, double y, int red, int green, int blue,
                                     int tolerance = 1);
