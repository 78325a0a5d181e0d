#pragma once

#include <functional>

namespace view::x11 {

// Installs the process's X error handler for the display. An error about a
// window that was adopted (BadWindow, BadDrawable, BadMatch) calls
// lostWindow on the main queue with its id; a picture that could not be
// made (drawing into a window that went meanwhile, whose own error says
// so) is passed over; any other error is logged the first time its kind
// (error and request code) occurs. Nothing is fatal.
void installErrorTrap(void* display, std::function<void(unsigned long window)> lostWindow);
void adoptWindowForErrors(unsigned long window);

} // namespace view::x11
