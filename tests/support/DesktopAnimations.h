#pragma once

// The desktop's "enable animations" switch, the setting behind the
// workspace's reduced-motion answer, for tests that drive the real setting.
//
// An executable that uses this keeps GSettings in its memory backend from
// before main on, so that the workspace reads the same store the tests
// write, and no test touches the user's own settings.

typedef struct _GSettings GSettings;

class DesktopAnimations {
public:
    DesktopAnimations();
    // Puts the setting back to its default: animations on.
    ~DesktopAnimations();
    DesktopAnimations(const DesktopAnimations&) = delete;
    DesktopAnimations& operator=(const DesktopAnimations&) = delete;

    void setEnabled(bool enabled);

private:
    GSettings* settings_;
};
