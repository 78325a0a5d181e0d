#pragma once

#include "host/HostOptions.h"
#include "host/ModuleBundle.h"
#include "host/StopSignals.h"

// korlan-flow without a command, and korlan-flow preview: the module's saver
// views in X windows, run until input (full screen), the window's end, or
// a stop signal. Returns the exit status: 0 when it ended as it should, 1
// when it could not start.
int runSaverCommand(const ModuleBundle& module, const HostOptions& options, StopSignals& stopSignals);
