#pragma once

#include "platform/dispatch/MainQueue.h"

#include <functional>

namespace dispatch {

// Attaches to the queue's loop, for the life of the process, a source that
// runs `run` whenever `ready` holds, asked before and after each wait of the
// loop: the way to hand the loop work that arrives outside its polls
// (another thread's queue, a library's own event buffer). A file
// descriptor, when given, wakes the wait as well.
void attachReadinessSource(MainQueue& queue, const char* name, std::function<bool()> ready, Block run,
                           int fileDescriptor = -1);

} // namespace dispatch
