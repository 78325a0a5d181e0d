#pragma once

#include "host/ModuleBundle.h"

#include <span>

// korlan-flow capture: renders one frame off screen and reports its
// checksum and occupied-pixel count, optionally writing it as a PNG.
// Returns the exit status: 0 done, 1 the frame could not be made, 2 bad
// arguments.
int runCaptureCommand(const ModuleBundle& module, std::span<char* const> arguments);

extern const char* const kCaptureUsage;
