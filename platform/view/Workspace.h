#pragma once

#include "platform/PlatformExport.h"

#include <atomic>

typedef struct _GSettings GSettings;

namespace view {

class KF_PLATFORM_API Workspace {
public:
    static Workspace& sharedWorkspace();

    // The desktop's "reduce motion" wish: its animations switched off.
    // Asked once a frame, so it is a read of a value kept current by the
    // setting's change notices.
    bool accessibilityDisplayShouldReduceMotion() const { return reduceMotion_; }

private:
    Workspace();
    void readAnimationsSetting();

    GSettings* interfaceSettings_ = nullptr;
    std::atomic<bool> reduceMotion_ = false;
};

} // namespace view
