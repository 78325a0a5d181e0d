#include "tests/e2e/SyntheticInput.h"

#include <gtest/gtest.h>

#include <cstdlib>

void SyntheticInput::run(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + display_ + " xdotool " + arguments;
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "failed: " << command;
}

void SyntheticInput::press(unsigned long window, const std::string& keys) const {
    const std::string id = std::to_string(window);
    run("windowfocus " + id + " key --window " + id + " " + keys);
}

void SyntheticInput::pointAt(unsigned long window, double x, double y, const std::string& then) const {
    run("mousemove --window " + std::to_string(window) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)) +
        " " + then);
}
