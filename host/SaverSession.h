#pragma once

#include "platform/foundation/NotificationCenter.h"
#include "platform/view/ScreenSaverView.h"
#include "platform/view/Window.h"
#include "platform/view/x11/X11WindowBackend.h"

#include <functional>
#include <memory>
#include <vector>

// The preview thumbnail's size in points.
inline constexpr view::Size kPreviewSize{296.0, 184.0};

// The windows of one run of the saver, each with the module's saver view
// filling it, as a screen-saver host holds them: started together, stopped
// together, and told when one of them closes.
class SaverSession {
public:
    explicit SaverSession(const view::ScreenSaverViewClass& saverClass) : saverClass_(saverClass) {}
    ~SaverSession();
    SaverSession(const SaverSession&) = delete;
    SaverSession& operator=(const SaverSession&) = delete;

    // Puts a new saver view into a window shown by the backend; false when
    // the module made no view. whenClosed runs when the window closes.
    bool show(std::unique_ptr<view::x11::X11WindowBackend> backend, bool isPreview,
              std::function<void()> whenClosed);
    void startAnimation();
    // Stops every view, which tears its GPU side down, and closes the
    // windows. Again does nothing.
    void stop();

private:
    struct Shown {
        std::shared_ptr<view::Window> window;
        std::shared_ptr<view::ScreenSaverView> view;
        foundation::NotificationCenter::ObserverId closeObserver;
    };

    const view::ScreenSaverViewClass& saverClass_;
    std::vector<Shown> shown_;
    bool stopped_ = false;
};
