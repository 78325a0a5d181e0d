#pragma once

#include "platform/dispatch/MainQueue.h"

#include <functional>

namespace dispatch {

// Attaches to the context a source that runs `run` whenever `ready` holds,
// asked before and after each wait of the loop: the way to hand the loop
// work that arrives outside its polls (another thread's queue, a library's
// own event buffer). A file descriptor, when given, wakes the wait as well.
// The source keeps both functions until it is destroyed.
GSource* attachReadinessSource(GMainContext* context, const char* name, std::function<bool()> ready, Block run,
                               int fileDescriptor = -1);

} // namespace dispatch
