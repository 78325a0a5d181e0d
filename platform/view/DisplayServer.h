#pragma once

#include "platform/PlatformExport.h"
#include "platform/gpu/NativeWindow.h"
#include "platform/view/DisplayFade.h"
#include "platform/view/Geometry.h"
#include "platform/view/Screen.h"
#include "platform/view/WindowBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace view {

// Where a full-screen window lies among the others on its monitor.
enum class FullScreenLayer {
    // Above every window: the saver, which takes the keyboard and pointer
    // and hides the pointer.
    Overlay,
    // Below every window, taking no input: an animated wallpaper.
    Background,
};

// A display server that windows are shown on, X11 or Wayland: its monitors,
// followed as they change, windows over each of them and ordinary windows,
// and the displays' brightness.
class KF_PLATFORM_API DisplayServer {
public:
    virtual ~DisplayServer() = default;

    // The connection, for the GPU device to present to.
    virtual gpu::NativeDisplay nativeDisplay() const = 0;

    // Every monitor, as its screen. A monitor that has not changed keeps its
    // Screen object from one answer to the next; one that did (moved,
    // resized, scaled anew) comes with a new one.
    virtual std::vector<std::shared_ptr<Screen>> monitors() = 0;
    // Called on the main queue whenever monitors() has a new answer; null
    // stops it.
    virtual void setMonitorsChangedHandler(std::function<void()> handler) = 0;

    // A window covering the monitor, one of the last answer of monitors().
    // Null when the server cannot put one in that layer.
    virtual std::unique_ptr<WindowBackend> newFullScreenWindow(const std::shared_ptr<Screen>& monitor,
                                                               FullScreenLayer layer) = 0;
    // An ordinary window of the size in points, with a title, that the user
    // may close. Null with the reason when it cannot be made.
    virtual std::unique_ptr<WindowBackend> newDecoratedWindow(Size contentSize, const std::string& title,
                                                              std::string* failure = nullptr) = 0;
    // The displays' brightness; null where the server lets no client set it.
    virtual std::unique_ptr<DisplayFade> newDisplayFade() = 0;
};

} // namespace view
