#pragma once

// The GLib side of the main queue, for the platform's .cpp files that attach
// sources to its loop. No header includes this one: GLib stays out of what
// the module and the host see.

#include "platform/dispatch/MainQueue.h"

#include <glib.h>

namespace dispatch {

struct MainQueue::Loop {
    GMainContext* context;
};

} // namespace dispatch
