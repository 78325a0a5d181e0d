#pragma once

#include "platform/PlatformExport.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/view/Geometry.h"
#include "platform/view/WindowBackend.h"

#include <memory>

namespace view {

class Screen;
class View;

// Posted by a window about to close, with the window as the sender.
inline constexpr const char* kWindowWillCloseNotification = "NSWindowWillCloseNotification";

// A window: its content view fills it. Shown by a backend (an X11 window),
// or, without one, kept off screen, where what its views draw stays in its
// contents for whoever looks.
class KF_PLATFORM_API Window : public std::enable_shared_from_this<Window> {
public:
    // A window off screen of the given size, on the screen if one is given.
    static std::shared_ptr<Window> initWithContentRect(Rect contentRect, std::shared_ptr<Screen> screen = nullptr,
                                                       double backingScaleFactor = 1.0);
    static std::shared_ptr<Window> initWithBackend(std::unique_ptr<WindowBackend> backend);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::shared_ptr<View>& contentView() const { return contentView_; }
    // The old content view leaves the window, the new one enters it.
    void setContentView(std::shared_ptr<View> view);
    std::shared_ptr<Screen> screen() const;
    Size contentSize() const { return contentSize_; }
    double backingScaleFactor() const;
    bool isVisible() const { return !closed_; }

    // Tells the observers it will close, then takes the window off screen.
    // Its views stay in it.
    void close();

    // Draws the views that need display into the contents and shows them.
    void displayIfNeeded();
    // What the views drew, the window's size in pixels; null before any.
    std::shared_ptr<graphics::BitmapImageRep> contents() const { return contents_; }
    // Null for a window off screen.
    WindowBackend* backend() const { return backend_.get(); }

    // From the backend: the display server changed the window.
    void backendDidResize(Size contentSize);
    void backendNeedsRedraw();
    void backendDidClose();

private:
    Window(Size contentSize, std::shared_ptr<Screen> screen, double backingScaleFactor,
           std::unique_ptr<WindowBackend> backend);
    void drawViews();

    Size contentSize_;
    std::shared_ptr<Screen> screen_;
    double backingScaleFactor_;
    std::unique_ptr<WindowBackend> backend_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<graphics::BitmapImageRep> contents_;
    bool closed_ = false;
};

} // namespace view
