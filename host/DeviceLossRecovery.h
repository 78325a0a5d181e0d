#pragma once

#include "platform/dispatch/TimerSource.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/view/ScreenSaverView.h"
#include "platform/view/Window.h"

#include <functional>
#include <memory>
#include <vector>

// Brings a session's saver views back after the GPU device or a window's
// surface was lost: what was made on it draws no more, so every view is
// stopped and each in a visible window started again, which builds it anew
// on a new device. A burst of losses makes one restart.
class DeviceLossRecovery {
public:
    // A saver view and the window that shows it.
    struct ShownView {
        std::shared_ptr<view::Window> window;
        std::shared_ptr<view::ScreenSaverView> view;
    };
    // Asked at the restart for the views to restart.
    using ShownViews = std::function<std::vector<ShownView>()>;

    explicit DeviceLossRecovery(ShownViews shownViews);
    ~DeviceLossRecovery();
    DeviceLossRecovery(const DeviceLossRecovery&) = delete;
    DeviceLossRecovery& operator=(const DeviceLossRecovery&) = delete;

    // Restarts happen only once the views have started.
    void viewsStarted();
    // No restart comes after this, not even one that is due.
    void viewsStopped();

private:
    void restartSoon();
    void restartViews();

    ShownViews shownViews_;
    bool started_ = false;
    bool stopped_ = false;
    foundation::NotificationCenter::ObserverId lossObserver_;
    std::shared_ptr<dispatch::TimerSource> restart_;
};
