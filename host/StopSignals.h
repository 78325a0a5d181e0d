#pragma once

#include "platform/dispatch/Watches.h"

#include <functional>

// The signals that end a saver run, watched from the program's first
// moments, so that one sent while the module and the GPU device still load
// ends the run as cleanly as one sent later. SIGUSR1 and SIGUSR2 are
// ignored: screen lockers send them when their password prompt closes, and
// the saver simply goes on.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The handler runs on the main queue for each SIGINT, SIGTERM or
    // SIGHUP; at once when one came before it was set.
    void setHandler(std::function<void()> handler);

private:
    void received();

    std::function<void()> handler_;
    bool receivedEarly_ = false;
    dispatch::SignalWatch interrupt_, terminate_, hangUp_;
};
