#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/Screen.h"
#include "platform/view/x11/MonitorLayout.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

union _XEvent;

namespace view::x11 {

class EventTarget;

// One monitor of one X screen, as RandR reports it (an X screen without
// RandR monitors is one monitor).
struct Monitor {
    int xScreen = 0;
    PixelRect pixels;
    std::shared_ptr<Screen> screen;
};

// The process's one connection to the X server: opened once and never
// closed, with XInitThreads before it, because the Vulkan driver's threads
// share it. The main queue reads its events and hands each to the window it
// is for. An X error on one of our windows or a window we were given means
// that window is gone: its target hears of it on the main queue, and the
// error is never fatal. Other errors are logged, each kind once.
class KF_PLATFORM_API Connection {
public:
    // The connection to $DISPLAY, opened at the first call; null with the
    // reason when the server cannot be reached.
    static Connection* open(std::string* failure = nullptr);

    // The Xlib Display*, for presenting to the windows.
    void* display() const { return display_; }
    // Every RandR monitor of every X screen, read now.
    std::vector<Monitor> monitors() const;
    // The one whose pixels hold the point of the X screen, else its first.
    Monitor monitorAt(int xScreen, int x, int y) const;
    // The root window of the default X screen.
    unsigned long rootWindow() const;
    // Pixels per point: the server's DPI (Xft.dpi) over 96, read from the
    // server at each call, so that a window made after the user changed it
    // follows the new setting.
    double backingScaleFactor() const;

    // Called on the main queue after the server announced a change of
    // screens, CRTCs or outputs (once per batch of events); null stops it.
    void setMonitorsChangedHandler(std::function<void()> handler);

    // For the windows of this layer: events and the loss of a window go to
    // its target until it is removed. A window made or given is ours from
    // then on; errors about it are never logged.
    void addTarget(unsigned long window, EventTarget* target);
    void removeTarget(unsigned long window);
    void adoptWindow(unsigned long window);
    // Sends what was asked and waits until the server has done it, so its
    // errors have arrived.
    void synchronize();

    // Reads what the server sent, and hands each event to its window.
    void dispatchEvents();
    bool hasEvents();

private:
    explicit Connection(void* display);
    void windowLost(unsigned long window);
    // Takes in a RandR event; false for any other.
    bool takeMonitorEvent(_XEvent& event);

    void* display_;
    int randrEventBase_ = -1;
    std::map<unsigned long, EventTarget*> targets_;
    std::function<void()> monitorsChanged_;
};

} // namespace view::x11
