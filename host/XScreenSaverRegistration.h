#pragma once

#include "host/HostOptions.h"

#include <filesystem>

// korlan-flow --register-xscreensaver: adds program, run with --root and the
// saver options given (--software, --fps), to the programs list in the
// user's ~/.xscreensaver, so that XScreenSaver's settings program offers it.
// Does nothing when the list already runs a program of that name. Exits with
// 0, or 1 with a line on standard error when the file cannot be read or
// written.
int registerWithXScreenSaver(const std::filesystem::path& program, const HostOptions& options);
