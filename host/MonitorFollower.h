#pragma once

#include "host/SaverSession.h"

#include "platform/view/DisplayServer.h"

#include <functional>
#include <memory>
#include <vector>

// The saver full screen on every monitor of a display server, following the
// monitors as they change: a new window and view for each monitor that is
// new or changed (the new view displaces the old one on the same display
// through the display claims), then the windows of the monitors that are
// gone or changed are closed.
class MonitorFollower {
public:
    struct Handlers {
        // Input from the user on any of the windows.
        std::function<void()> userActivity;
        // One of the windows was closed from outside.
        std::function<void()> windowClosed;
    };

    MonitorFollower(SaverSession& session, view::DisplayServer& server, view::FullScreenLayer layer,
                    Handlers handlers);
    ~MonitorFollower();
    MonitorFollower(const MonitorFollower&) = delete;
    MonitorFollower& operator=(const MonitorFollower&) = delete;

    // Covers every monitor now and follows them from then on; false when a
    // window could not be made or the module made no view.
    bool showOnEveryMonitor();

private:
    struct Covered {
        std::shared_ptr<view::Screen> monitor;
        SaverSession::ShownId shown;
        view::WindowBackend* backend;
    };

    bool cover(const std::shared_ptr<view::Screen>& monitor);
    void follow();

    SaverSession& session_;
    view::DisplayServer& server_;
    view::FullScreenLayer layer_;
    Handlers handlers_;
    std::vector<Covered> covered_;
};
