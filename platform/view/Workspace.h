#pragma once

#include "platform/PlatformExport.h"

#include <optional>

typedef struct _GSettings GSettings;

namespace view {

class KF_PLATFORM_API Workspace {
public:
    static Workspace& sharedWorkspace();

    // The desktop's "reduce motion" wish: its animations switched off.
    // Asked once a frame, so it is a cheap read of a watched setting.
    bool accessibilityDisplayShouldReduceMotion() const;

    // Tests decide the answer; nullopt asks the desktop again.
    void setReduceMotionOverride(std::optional<bool> answer) { override_ = answer; }

private:
    Workspace();
    std::optional<bool> override_;
    GSettings* interfaceSettings_ = nullptr;
};

} // namespace view
