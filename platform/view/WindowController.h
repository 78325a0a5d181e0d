#pragma once

#include "platform/PlatformExport.h"
#include "platform/view/Window.h"

#include <memory>

namespace view {

// Owns a window and manages it; subclasses build what it shows. The
// window refers back to its controller without owning it.
class KF_PLATFORM_API WindowController : public std::enable_shared_from_this<WindowController> {
public:
    // Null without a window, or when the window has a controller already.
    static std::shared_ptr<WindowController> initWithWindow(const std::shared_ptr<Window>& window);
    virtual ~WindowController();
    WindowController(const WindowController&) = delete;
    WindowController& operator=(const WindowController&) = delete;

    const std::shared_ptr<Window>& window() const { return window_; }

protected:
    WindowController() = default;
    // The base's part of making a controller: takes the window as its own.
    // False, and nothing taken, without a window or when the window has a
    // controller already.
    bool adoptWindow(const std::shared_ptr<Window>& window);

private:
    friend class Window;
    // A window released when closed has closed.
    void releaseWindow() { window_.reset(); }

    std::shared_ptr<Window> window_;
};

} // namespace view
