#include "host/ProgramLocation.h"

std::filesystem::path runningProgram() {
    std::error_code unknown;
    auto program = std::filesystem::read_symlink("/proc/self/exe", unknown);
    return unknown ? std::filesystem::path() : program;
}

std::filesystem::path defaultBundlePath(const std::filesystem::path& program,
                                        const std::filesystem::path& installedBundleFromProgram,
                                        const std::filesystem::path& builtBundle) {
    if (program.empty()) return builtBundle;
    const auto installed = (program.parent_path() / installedBundleFromProgram).lexically_normal();
    std::error_code unreadable;
    // A broken installed bundle is still the one to load: its failure names
    // it, rather than a build tree that may be long gone.
    return std::filesystem::is_directory(installed, unreadable) ? installed : builtBundle;
}
