#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/MainQueue.h"

#include <memory>

namespace dispatch {

// Runs a handler on the main queue, outside the signal handler, each time
// the process receives the signal (SIGINT, SIGTERM, SIGHUP, SIGUSR1,
// SIGUSR2, SIGWINCH), until the watch is released.
class KF_PLATFORM_API SignalWatch {
public:
    SignalWatch(int signalNumber, Block handler, MainQueue& queue = MainQueue::shared());
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

private:
    // The handler and its GLib source, defined where GLib is included.
    struct Source;
    std::unique_ptr<Source> source_;
};

} // namespace dispatch
