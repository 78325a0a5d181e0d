#include "platform/foundation/BaseDirectories.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace foundation {

namespace {

bool isAbsolute(const char* path) { return path && path[0] == '/'; }

std::filesystem::path baseDirectory(const char* variable, const char* defaultInHome) {
    if (const char* value = std::getenv(variable); isAbsolute(value)) return value;
    const auto home = homeDirectory();
    return home.empty() ? home : home / defaultInHome;
}

} // namespace

std::filesystem::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); isAbsolute(home)) return home;
    if (const passwd* user = getpwuid(getuid()); user && isAbsolute(user->pw_dir)) return user->pw_dir;
    return {};
}

std::filesystem::path configHome() { return baseDirectory("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path cacheHome() { return baseDirectory("XDG_CACHE_HOME", ".cache"); }

} // namespace foundation
