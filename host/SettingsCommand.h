#pragma once

#include "host/ModuleBundle.h"

#include <span>

// korlan-flow settings [--software]: the saver's settings pane in a GTK
// window, with its preview, its settings sheet and a test run, until the
// window is closed (status 0) or SIGINT/SIGTERM. 1 when it cannot start, 2
// on bad arguments.
int runSettingsCommand(const ModuleBundle& module, std::span<char* const> arguments);
