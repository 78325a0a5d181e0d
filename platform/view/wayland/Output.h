#pragma once

#include "platform/view/Screen.h"

#include <cstdint>
#include <memory>
#include <string>

struct wl_output;

namespace view::wayland {

class Connection;

// One wl_output: what the compositor says of it, gathered until each
// "done", and the Screen that stands for it. The Screen is made anew when
// its size, place or scale changed, so a new Screen means a changed output;
// its "NSScreenNumber" is the output's global name, which the compositor
// gives no other output while this one lives.
class Output {
public:
    Output(Connection& connection, wl_output* output, std::uint32_t globalName, std::uint32_t version);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    wl_output* handle() const { return output_; }
    std::uint32_t globalName() const { return globalName_; }
    // Null until the output has described itself.
    const std::shared_ptr<Screen>& screen() const { return screen_; }
    // Its name ("HEADLESS-1", "DP-2") where the compositor says it.
    const std::string& name() const { return current_.name; }
    // Whole pixels per point: the buffer scale of surfaces shown on it.
    int scale() const { return current_.scale; }

    // From the listener.
    struct Description {
        int x = 0, y = 0;
        int pixelWidth = 0, pixelHeight = 0;
        int scale = 1;
        // The output is turned a quarter or three: its mode's width is its
        // height on screen.
        bool turned = false;
        std::string name;
        std::string description;
    };
    Description& pending() { return pending_; }
    void done();

private:
    Connection& connection_;
    wl_output* output_;
    std::uint32_t globalName_;
    std::uint32_t version_;
    Description pending_;
    Description current_;
    std::shared_ptr<Screen> screen_;
};

} // namespace view::wayland
