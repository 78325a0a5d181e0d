#pragma once

#include "platform/dispatch/TimerSource.h"
#include "platform/view/WindowBackend.h"
#include "platform/view/wayland/Connection.h"
#include "platform/view/wayland/ShmBuffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct wl_callback;
struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;

namespace view::wayland {

// How a surface's buffers map onto its size in points: a whole buffer
// scale, or a fractional one through a viewport.
struct SurfaceScale {
    double factor = 1.0;
    bool fractional = false;
};

// A wl_surface about to get a role, with the object that tells the scale
// the compositor prefers for it, where the compositor offers fractional
// scales (and viewports to show them with).
struct NewSurface {
    wl_surface* surface = nullptr;
    wp_fractional_scale_v1* fractionalScale = nullptr;
    // In 120ths; 0 until the compositor said.
    std::uint32_t preferredScale = 0;

    static std::unique_ptr<NewSurface> create(Connection& connection);
    // The fractional scale the compositor said, else the output's.
    SurfaceScale scaleOn(int outputScale) const;
};

// What a window's surface shares with the subsurfaces of its GPU views,
// which may outlive it: the wl_surface while it lasts, and whether the
// next frame is due.
struct SharedSurfaceState {
    wl_surface* surface = nullptr;
    bool frameDue = true;
};

// What every window on Wayland shares, whatever role its wl_surface has
// (layer surface, toplevel): the drawn contents in shared memory, the
// subsurfaces GPU views present in, the input that reaches it, and whether
// it is seen.
//
// A compositor sends frame callbacks only to surfaces it shows, so they
// tell both when the next frame is due and whether the surface can be
// seen: a frame callback is always asked for, and when none has come for
// about a second, although the surface was damaged to ask again, the window
// counts as hidden until the next one comes. GPU views draw a frame only
// once the last one was shown, so nothing ever waits for a compositor that
// shows nothing.
class SurfaceBackend : public WindowBackend, protected InputTarget {
public:
    ~SurfaceBackend() override;

    void attach(const std::shared_ptr<Window>& window) override;
    Size contentSize() const override { return size_; }
    double backingScaleFactor() const override { return scale_.factor; }
    std::shared_ptr<Screen> screen() const override { return screen_; }
    void showContents(const graphics::BitmapImageRep& contents) override;
    std::unique_ptr<NativeSurface> newChildSurface(Rect pixels) override;
    void close() override;
    bool shows() const override { return shows_; }
    void setVisibilityHandler(std::function<void(bool shows)> handler) override {
        visibilityChanged_ = std::move(handler);
    }
    void setUserActivityHandler(std::function<void()> handler) override { userActivity_ = std::move(handler); }

    // From the frame callback's listener.
    void frameShown();

protected:
    // The surface is the window's, its role given by the subclass, which
    // then configures the window with configured(). The scale is known:
    // the object that told it goes.
    SurfaceBackend(Connection& connection, const NewSurface& surface, std::shared_ptr<Screen> screen,
                   SurfaceScale scale);
    // The compositor gave the window its size in points.
    void configured(Size size);
    // The compositor took the window away.
    void closedByCompositor();
    // Destroys the role object (layer surface, toplevel) before the
    // wl_surface goes. Subclasses close() in their destructors, while this
    // can still be called.
    virtual void destroyRole() = 0;
    bool isClosed() const { return closed_; }

    void userActivity() override;
    bool hidesPointer() const override { return false; }

private:
    void askForFrame();
    void checkFrames();
    void setShows(bool shows);

    Connection& connection_;
    wl_surface* surface_;
    wp_viewport* viewport_ = nullptr;
    std::shared_ptr<Screen> screen_;
    SurfaceScale scale_;
    Size size_;
    std::weak_ptr<Window> owner_;
    std::vector<std::unique_ptr<ShmBuffer>> buffers_;
    std::function<void(bool)> visibilityChanged_;
    std::function<void()> userActivity_;

    wl_callback* frameCallback_ = nullptr;
    dispatch::Time lastFrameShown_ = 0;
    std::shared_ptr<SharedSurfaceState> shared_;
    bool askedAgain_ = false;
    bool shows_ = true;
    std::shared_ptr<dispatch::TimerSource> frameWatch_;
    bool closed_ = false;
};

} // namespace view::wayland
