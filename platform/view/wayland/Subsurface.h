#pragma once

#include "platform/view/WindowBackend.h"
#include "platform/view/wayland/Connection.h"
#include "platform/view/wayland/SurfaceBackend.h"

#include <memory>

struct wl_subsurface;
struct wl_surface;
struct wp_viewport;

namespace view::wayland {

// The surface a GPU view presents its frames in: a subsurface of its
// window's surface, committed by the Vulkan driver at each present, on its
// own (desynchronised) so that frames show as they come. It takes no input,
// so the window's surface gets it all; and it draws a frame only once the
// window's last one was shown.
class Subsurface : public NativeSurface {
public:
    // Null when the compositor offers no subsurfaces.
    static std::unique_ptr<Subsurface> create(Connection& connection, std::shared_ptr<SharedSurfaceState> parent,
                                              SurfaceScale scale, Rect pixels);
    ~Subsurface() override;

    gpu::NativeWindow nativeWindow() const override;
    void setFrame(Rect pixels) override;
    // Nothing to do: until the first frame, the window's own contents show
    // through, drawn with the view's background.
    void setBackgroundColor(const graphics::Color&) override {}
    bool isReadyForFrame() const override { return parent_->frameDue; }
    void frameWillBePresented() override { parent_->frameDue = false; }

private:
    Subsurface(Connection& connection, std::shared_ptr<SharedSurfaceState> parent, SurfaceScale scale,
               wl_surface* surface, wl_subsurface* subsurface, wp_viewport* viewport);

    Connection& connection_;
    std::shared_ptr<SharedSurfaceState> parent_;
    SurfaceScale scale_;
    wl_surface* surface_;
    wl_subsurface* subsurface_;
    wp_viewport* viewport_;
};

} // namespace view::wayland
