#pragma once

#include "host/HostOptions.h"

#include <filesystem>

// korlan-flow --register-xscreensaver: adds program, run with --root and the
// saver options given (--software, --fps), to the programs list in the
// user's ~/.xscreensaver, so that XScreenSaver's settings program offers it.
// Does nothing when the list already runs a program of that name. A file
// with several hard links is written in place, so that all of them see the
// entry. Exits with 0, or 1 with a line on standard error, the file as it
// was, when it cannot be read or written, when the user made it read-only
// or it belongs to another user, or when program's path holds a control
// character, which the list cannot hold.
int registerWithXScreenSaver(const std::filesystem::path& program, const HostOptions& options);
