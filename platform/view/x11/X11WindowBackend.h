#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/TimerSource.h"
#include "platform/view/WindowBackend.h"
#include "platform/view/x11/Connection.h"
#include "platform/view/x11/EventTarget.h"

#include <functional>
#include <memory>
#include <string>

namespace view::x11 {

// How a window shows: over a whole monitor (no decoration, pointer hidden,
// keyboard and pointer taken), as an ordinary window the user may close, or
// a window of another program that we were given to draw into.
enum class WindowRole { FullScreen, Decorated, Given };

// Shows a view::Window in an X window: puts its drawn contents on screen,
// reports size changes, exposure and closing, and holds the child windows
// that GPU views present in.
class KF_PLATFORM_API X11WindowBackend : public WindowBackend, private EventTarget {
public:
    // Covers the monitor, above every other window.
    static std::unique_ptr<X11WindowBackend> newFullScreen(Connection& connection, const Monitor& monitor);
    // A window of the given size in points on the monitor, with a title.
    // Null with the reason when it would be larger in pixels than can be
    // drawn.
    static std::unique_ptr<X11WindowBackend> newDecorated(Connection& connection, const Monitor& monitor,
                                                          Size contentSize, const std::string& title,
                                                          std::string* failure = nullptr);
    // Another program's window, followed in size until it goes; never
    // destroyed by us. Null with the reason when there is no such window or
    // it cannot be drawn into (an InputOnly window).
    static std::unique_ptr<X11WindowBackend> newGiven(Connection& connection, unsigned long window,
                                                      std::string* failure = nullptr);
    ~X11WindowBackend() override;

    unsigned long windowId() const { return window_; }
    // A window cannot be seen when it or one of its ancestors is unmapped,
    // or when other windows cover all of it (its own children do not
    // count).
    bool shows() const override { return viewable_ && !obscured_; }
    void setVisibilityHandler(std::function<void(bool shows)> handler) override {
        visibilityChanged_ = std::move(handler);
    }
    void setUserActivityHandler(std::function<void()> handler) override { userActivity_ = std::move(handler); }
    void takeInput() override;

    void attach(const std::shared_ptr<Window>& window) override { owner_ = window; }
    Size contentSize() const override;
    double backingScaleFactor() const override { return backingScaleFactor_; }
    std::shared_ptr<Screen> screen() const override { return screen_; }
    void showContents(const graphics::BitmapImageRep& contents) override;
    std::unique_ptr<NativeSurface> newChildSurface(Rect pixels) override;
    void close() override;

private:
    // What the X window is drawn with.
    struct Drawing {
        void* visual = nullptr;
        bool onRootWindow = false;
    };

    X11WindowBackend(Connection& connection, unsigned long window, WindowRole role, Drawing drawing, unsigned width,
                     unsigned height, std::shared_ptr<Screen> screen);
    void handleEvent(const _XEvent& event) override;
    void windowLost() override;
    void didResize(unsigned width, unsigned height);
    void watchViewability();
    bool isViewable() const;
    void didChangeViewability(bool viewable);
    void didChangeVisibility(bool obscured);
    void reportVisibility(bool showed);
    bool pointerLeftItsPlace(int rootX, int rootY) const;
    void reportUserActivity();

    Connection& connection_;
    unsigned long window_;
    WindowRole role_;
    Drawing drawing_;
    unsigned width_, height_;
    std::shared_ptr<Screen> screen_;
    // Read once: a window keeps the scale it was made with.
    double backingScaleFactor_;
    std::weak_ptr<Window> owner_;
    std::function<void()> userActivity_;
    std::function<void(bool)> visibilityChanged_;
    bool viewable_ = true;
    std::shared_ptr<dispatch::TimerSource> viewabilityPoll_;
    bool obscured_ = false;
    bool pointerPlaceKnown_ = false;
    int pointerX_ = 0, pointerY_ = 0;
    bool closed_ = false;
};

} // namespace view::x11
