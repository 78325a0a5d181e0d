#include "platform/foundation/BaseDirectories.h"

#include "tests/support/ScratchDirectoryVariable.h"

#include <gtest/gtest.h>

using foundation::cacheHome;
using foundation::configHome;

// The one lookup for both base directories: absolute variables win, anything
// else falls back to the home directory, read afresh on every call.
TEST(BaseDirectories, FollowTheEnvironmentAndIgnoreRelativeValues) {
    const ScopedEnvironmentVariable home("HOME", "/home/someone");
    struct Case {
        const char* value;
        const char* config;
        const char* cache;
    };
    for (const auto& c : {Case{"/elsewhere", "/elsewhere", "/elsewhere"},
                          Case{"relative/dir", "/home/someone/.config", "/home/someone/.cache"},
                          Case{"./dot", "/home/someone/.config", "/home/someone/.cache"},
                          Case{"", "/home/someone/.config", "/home/someone/.cache"}}) {
        const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", c.value);
        const ScopedEnvironmentVariable cache("XDG_CACHE_HOME", c.value);
        EXPECT_EQ(configHome(), c.config) << '"' << c.value << '"';
        EXPECT_EQ(cacheHome(), c.cache) << '"' << c.value << '"';
    }
}

TEST(BaseDirectories, ARelativeHomeFallsBackToTheUsersEntry) {
    const ScopedEnvironmentVariable config("XDG_CONFIG_HOME", "");
    const ScopedEnvironmentVariable home("HOME", "not/absolute");
    EXPECT_TRUE(configHome().is_absolute()) << configHome();
    EXPECT_EQ(configHome().filename(), ".config");
}
