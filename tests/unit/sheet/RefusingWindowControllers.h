#pragma once

#include "platform/view/Window.h"

#include <memory>

// While it lives, the window-controller base refuses every window, as a
// base initialiser that yields nothing. Linking RefusingWindowControllers.cpp
// into a test executable defines view::WindowController::adoptWindow in the
// executable itself, where it takes the place of the platform library's
// and forwards to it while no refusal is in place.
class RefusingWindowControllers {
public:
    RefusingWindowControllers();
    ~RefusingWindowControllers();
    RefusingWindowControllers(const RefusingWindowControllers&) = delete;
    RefusingWindowControllers& operator=(const RefusingWindowControllers&) = delete;

    // The last window refused, kept for a look at what was built in it.
    const std::shared_ptr<view::Window>& refusedWindow() const;
};
