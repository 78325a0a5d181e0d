#include "platform/view/Workspace.h"

#include "tests/support/ScratchDirectoryVariable.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

// The desktop's setting is read through GSettings; the memory backend keeps
// the test away from the user's own settings.
TEST(Workspace, ReducesMotionWhenTheDesktopSwitchesAnimationsOff) {
    const ScopedEnvironmentVariable memoryBackend("GSETTINGS_BACKEND", "memory");
    auto& workspace = view::Workspace::sharedWorkspace();
    GSettings* interface = g_settings_new("org.gnome.desktop.interface");

    g_settings_set_boolean(interface, "enable-animations", FALSE);
    EXPECT_TRUE(workspace.accessibilityDisplayShouldReduceMotion());
    g_settings_set_boolean(interface, "enable-animations", TRUE);
    EXPECT_FALSE(workspace.accessibilityDisplayShouldReduceMotion());

    workspace.setReduceMotionOverride(true);
    EXPECT_TRUE(workspace.accessibilityDisplayShouldReduceMotion());
    workspace.setReduceMotionOverride(std::nullopt);
    EXPECT_FALSE(workspace.accessibilityDisplayShouldReduceMotion());
    g_object_unref(interface);
}
