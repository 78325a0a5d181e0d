#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/view/Window.h"

// Counts the will-close notifications of one window while it lives.
class WindowCloseCounter {
public:
    explicit WindowCloseCounter(const void* window)
        : id_(foundation::NotificationCenter::defaultCenter().addObserverForName(
              view::kWindowWillCloseNotification, window, [this](const foundation::Notification&) { ++closes; })) {}
    ~WindowCloseCounter() { foundation::NotificationCenter::defaultCenter().removeObserver(id_); }
    WindowCloseCounter(const WindowCloseCounter&) = delete;
    WindowCloseCounter& operator=(const WindowCloseCounter&) = delete;

    int closes = 0;

private:
    foundation::NotificationCenter::ObserverId id_;
};
