#pragma once

#include <string>

// A user's keys and clicks on an X display, through xdotool. A failing
// xdotool fails the test.
class SyntheticInput {
public:
    explicit SyntheticInput(std::string display) : display_(std::move(display)) {}

    // Runs xdotool with the arguments, e.g. "mouseup 1".
    void run(const std::string& arguments) const;
    // Types the keys into the window, giving it the focus first as a click
    // would: without a window manager nothing else does.
    void press(unsigned long window, const std::string& keys) const;
    // Moves the pointer to a point of the window, then does the rest
    // ("click 1", "mousedown 1", "sleep 0.2").
    void pointAt(unsigned long window, double x, double y, const std::string& then) const;

private:
    std::string display_;
};
