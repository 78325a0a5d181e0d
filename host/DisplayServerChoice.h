#pragma once

#include "host/HostOptions.h"

#include "platform/view/DisplayServer.h"
#include "platform/view/wayland/WaylandDisplayServer.h"
#include "platform/view/x11/Connection.h"

#include <memory>
#include <optional>
#include <string>

// The display server that the saver's windows go to.
struct OpenedDisplayServer {
    std::unique_ptr<view::DisplayServer> server;
    // On X11, for what only X has: windows of other programs, DPMS.
    view::x11::Connection* x11 = nullptr;
    // On Wayland, for what only Wayland has: a compositor without a layer
    // shell, a compositor that hangs up.
    view::wayland::WaylandDisplayServer* wayland = nullptr;
};

// Connects as asked: Wayland or X11, or, left to the environment, Wayland
// where $WAYLAND_DISPLAY names a compositor that can be reached, X11 where
// it does not and $DISPLAY is set. Nullopt with the reason when none can be
// reached.
std::optional<OpenedDisplayServer> openDisplayServer(WindowSystemChoice choice, std::string& failure);
