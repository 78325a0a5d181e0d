#pragma once

#include "platform/PlatformExport.h"

#include <filesystem>

namespace foundation {

// The user's base directories of the XDG convention: $XDG_CONFIG_HOME
// (default ~/.config) and $XDG_CACHE_HOME (default ~/.cache). Read from the
// environment on every call, so a changed variable takes effect at once.
// A relative value is ignored, as the convention asks; with no home
// directory either, the result is empty.
KF_PLATFORM_API std::filesystem::path configHome();
KF_PLATFORM_API std::filesystem::path cacheHome();

// The user's home directory: $HOME when it is absolute, else the one the
// password database names; empty when neither says.
KF_PLATFORM_API std::filesystem::path homeDirectory();

} // namespace foundation
