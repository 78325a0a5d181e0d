#include "platform/view/Workspace.h"

#include "tests/support/DesktopAnimations.h"

#include <gtest/gtest.h>

TEST(Workspace, ReducesMotionWhileTheDesktopHasAnimationsOff) {
    auto& workspace = view::Workspace::sharedWorkspace();
    DesktopAnimations animations;
    for (const bool enabled : {false, true, false}) {
        animations.setEnabled(enabled);
        EXPECT_EQ(workspace.accessibilityDisplayShouldReduceMotion(), !enabled) << "animations " << enabled;
    }
}
