#pragma once

#include "host/DeviceLossRecovery.h"
#include "host/DisplayPower.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/view/ScreenSaverView.h"
#include "platform/view/Window.h"
#include "platform/view/WindowBackend.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The preview thumbnail's size in points.
inline constexpr view::Size kPreviewSize{296.0, 184.0};

// The windows of one run of the saver, each with the module's saver view
// filling it, as a screen-saver host holds them: started together, stopped
// together, and told when one of them closes.
//
// A view is hidden, which suspends it, while its window is unmapped or fully
// covered, or while the monitors are dark, and shown again when all of that
// is over. When the GPU device or a window's surface is lost, the views are
// started again (DeviceLossRecovery).
class SaverSession {
public:
    // Names a window of the session; 0 names none.
    using ShownId = std::uint64_t;

    explicit SaverSession(const view::ScreenSaverViewClass& saverClass);
    ~SaverSession();
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;

    // Puts a new saver view into a window shown by the backend, started at
    // once when the session has started; 0 when the module made no view.
    // whenClosed runs when the window closes other than through close().
    ShownId show(std::unique_ptr<view::WindowBackend> backend, bool isPreview,
                 std::function<void()> whenClosed);
    // Stops the view and closes its window.
    void close(ShownId shown);
    void startAnimation();
    // Stops every view, which tears its GPU side down, and closes the
    // windows. Again does nothing.
    void stop();

    // While the source says the monitors are dark, no view draws. The
    // source outlives the session.
    void followDisplayPower(DisplayPowerSource& source);

private:
    struct Shown {
        ShownId id;
        std::shared_ptr<view::Window> window;
        std::shared_ptr<view::ScreenSaverView> view;
        foundation::NotificationCenter::ObserverId closeObserver;
    };

    void setDisplaysLit(bool lit);
    void updateHidden(const Shown& shown);
    std::vector<DeviceLossRecovery::ShownView> shownViews() const;

    const view::ScreenSaverViewClass& saverClass_;
    std::vector<Shown> shown_;
    ShownId lastId_ = 0;
    bool started_ = false;
    bool stopped_ = false;
    bool displaysLit_ = true;
    DeviceLossRecovery deviceLossRecovery_;
};
