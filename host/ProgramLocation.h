#pragma once

#include <filesystem>

// This process's program file, links resolved (so a link to it, such as the
// one in the screen-saver daemon's hacks directory, names the program
// itself); empty when the system does not say.
std::filesystem::path runningProgram();

// The bundle to load when --bundle names none. An installed program finds it
// at a fixed place relative to itself, wherever the tree was installed; a
// program run from the build tree has nothing there and takes the bundle the
// build made.
std::filesystem::path defaultBundlePath(const std::filesystem::path& program,
                                        const std::filesystem::path& installedBundleFromProgram,
                                        const std::filesystem::path& builtBundle);
