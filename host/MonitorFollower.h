#pragma once

#include "host/SaverSession.h"

#include "platform/view/x11/Connection.h"
#include "platform/view/x11/MonitorWatch.h"

#include <functional>
#include <optional>
#include <vector>

// The saver full screen on every monitor of every X screen, following the
// monitors as they change: a new window and view for each monitor that is
// new or changed (the new view displaces the old one on the same display
// through the display claims), then the windows of the monitors that are
// gone or changed are closed. Sizes in points follow the server's DPI as it
// is when a window is made.
class MonitorFollower {
public:
    struct Handlers {
        // Input from the user on any of the windows.
        std::function<void()> userActivity;
        // One of the windows was closed from outside.
        std::function<void()> windowClosed;
    };

    MonitorFollower(SaverSession& session, view::x11::Connection& connection, Handlers handlers);
    MonitorFollower(const MonitorFollower&) = delete;
    MonitorFollower& operator=(const MonitorFollower&) = delete;

    // Covers every monitor now and follows them from then on; false when
    // the module made no view.
    bool showOnEveryMonitor();

private:
    struct Covered {
        view::x11::Monitor monitor;
        SaverSession::ShownId shown;
        view::x11::X11WindowBackend* backend;
    };

    bool cover(const view::x11::Monitor& monitor);
    void follow(const std::vector<view::x11::Monitor>& monitors);

    SaverSession& session_;
    view::x11::Connection& connection_;
    Handlers handlers_;
    std::vector<Covered> covered_;
    std::optional<view::x11::MonitorWatch> watch_;
};
