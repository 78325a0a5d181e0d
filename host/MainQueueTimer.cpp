#include "host/MainQueueTimer.h"

#include <algorithm>

std::shared_ptr<dispatch::TimerSource> startTimer(std::chrono::nanoseconds delay, std::chrono::nanoseconds interval,
                                                  dispatch::Block handler) {
    auto timer = dispatch::TimerSource::create();
    if (!timer) return nullptr;
    const auto leeway = std::max(delay, interval) / 10;
    timer->setTimer(dispatch::time(dispatch::now(), delay.count()), std::uint64_t(interval.count()),
                    std::uint64_t(leeway.count()));
    timer->setEventHandler(std::move(handler));
    timer->resume();
    return timer;
}
