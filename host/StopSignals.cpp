#include "host/StopSignals.h"

#include <csignal>
#include <utility>

StopSignals::StopSignals()
    : interrupt_(SIGINT, [this] { received(); }), terminate_(SIGTERM, [this] { received(); }),
      hangUp_(SIGHUP, [this] { received(); }) {
    std::signal(SIGUSR1, SIG_IGN);
    std::signal(SIGUSR2, SIG_IGN);
}

void StopSignals::setHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
    if (receivedEarly_ && handler_) handler_();
}

void StopSignals::received() {
    if (!handler_) {
        receivedEarly_ = true;
        return;
    }
    handler_();
}
