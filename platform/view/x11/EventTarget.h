#pragma once

union _XEvent;

namespace view::x11 {

// What receives the events of one X window, on the main thread.
class EventTarget {
public:
    virtual ~EventTarget() = default;
    virtual void handleEvent(const _XEvent& event) = 0;
    // The window was destroyed under us, or the server says it no longer
    // exists.
    virtual void windowLost() = 0;
};

} // namespace view::x11
