#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/NativeWindow.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/view/Geometry.h"

#include <functional>
#include <memory>

namespace view {

class Screen;
class Window;

// A part of a native window that a GPU view shows its frames in: a child
// window (X11) or subsurface (Wayland) of the display server, destroyed
// with the object.
class KF_PLATFORM_API NativeSurface {
public:
    virtual ~NativeSurface() = default;
    virtual gpu::NativeWindow nativeWindow() const = 0;
    // In the window's pixels, origin at its top-left corner.
    virtual void setFrame(Rect pixels) = 0;
    // Shown where no frame has been presented yet.
    virtual void setBackgroundColor(const graphics::Color& color) = 0;
    // Whether a frame may be drawn now: a window system that paces frames
    // by what the display showed says no until the last one was shown.
    virtual bool isReadyForFrame() const { return true; }
    // A frame is about to be presented in the surface.
    virtual void frameWillBePresented() {}
};

// What shows a window on a display server. The backend tells its window of
// changes made from outside (size, exposure, closing) through the window's
// backend… calls.
class KF_PLATFORM_API WindowBackend {
public:
    virtual ~WindowBackend() = default;

    // The window to report to; not owned.
    virtual void attach(const std::shared_ptr<Window>& window) = 0;
    virtual Size contentSize() const = 0;
    virtual double backingScaleFactor() const = 0;
    virtual std::shared_ptr<Screen> screen() const = 0;
    // Puts the drawn contents (the window's size in pixels, rows from the
    // top) on screen.
    virtual void showContents(const graphics::BitmapImageRep& contents) = 0;
    // Whether the backend shows each view as a widget of its own, drawn
    // when its toolkit asks, rather than the window's drawn contents.
    virtual bool showsEachView() const { return false; }
    // Null when the window can hold no child.
    virtual std::unique_ptr<NativeSurface> newChildSurface(Rect pixels) = 0;
    virtual void close() = 0;

    // Whether any of the window can be seen now. A window that cannot
    // (unmapped, covered, or on an output that shows nothing) calls the
    // visibility handler with false, and with true once it shows again.
    virtual bool shows() const { return true; }
    virtual void setVisibilityHandler(std::function<void(bool shows)>) {}
    // A full-screen saver window calls it on a key press, a click, a touch,
    // or the pointer leaving its first place by more than a few pixels.
    virtual void setUserActivityHandler(std::function<void()>) {}
    // Takes the keyboard and the pointer where the window system lets a
    // window take them, as a full-screen window does when it is first shown;
    // for the one that stays when another that held them goes.
    virtual void takeInput() {}
};

} // namespace view
