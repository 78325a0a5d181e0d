#pragma once

#include "platform/dispatch/TimerSource.h"

#include <chrono>
#include <memory>

// A timer on the main queue that fires first after the delay, then every
// interval (never again for an interval of 0), a tenth of it late at most;
// null when the loop can take no other source. It is cancelled when it
// goes, so its handler may use what outlives the timer.
std::shared_ptr<dispatch::TimerSource> startTimer(std::chrono::nanoseconds delay, std::chrono::nanoseconds interval,
                                                  dispatch::Block handler);
