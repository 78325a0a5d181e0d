#include "platform/view/wayland/Subsurface.h"

#include <wayland-client.h>

#include "viewporter-client-protocol.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace view::wayland {

Subsurface::Subsurface(Connection& connection, std::shared_ptr<SharedSurfaceState> parent, SurfaceScale scale,
                       wl_surface* surface, wl_subsurface* subsurface, wp_viewport* viewport)
    : connection_(connection), parent_(std::move(parent)), scale_(scale), surface_(surface),
      subsurface_(subsurface), viewport_(viewport) {}

std::unique_ptr<Subsurface> Subsurface::create(Connection& connection, std::shared_ptr<SharedSurfaceState> parent,
                                               SurfaceScale scale, Rect pixels) {
    const auto& globals = connection.globals();
    if (!globals.subcompositor || !parent->surface) return nullptr;
    wl_surface* surface = wl_compositor_create_surface(globals.compositor);
    wl_subsurface* subsurface = wl_subcompositor_get_subsurface(globals.subcompositor, surface, parent->surface);
    wl_subsurface_set_desync(subsurface);
    // No input region: the window's surface takes every key and move.
    wl_region* nowhere = wl_compositor_create_region(globals.compositor);
    wl_surface_set_input_region(surface, nowhere);
    wl_region_destroy(nowhere);
    // The driver's buffers are the drawable's pixels; they become points
    // through the buffer scale, or a viewport for a fractional one.
    wp_viewport* viewport =
        scale.fractional ? wp_viewporter_get_viewport(globals.viewporter, surface) : nullptr;
    if (!scale.fractional) wl_surface_set_buffer_scale(surface, int(scale.factor));
    std::unique_ptr<Subsurface> created(
        new Subsurface(connection, std::move(parent), scale, surface, subsurface, viewport));
    created->setFrame(pixels);
    return created;
}

Subsurface::~Subsurface() {
    if (viewport_) wp_viewport_destroy(viewport_);
    wl_subsurface_destroy(subsurface_);
    wl_surface_destroy(surface_);
    connection_.flush();
}

gpu::NativeWindow Subsurface::nativeWindow() const {
    return {gpu::WindowSystem::Wayland, connection_.display(), std::uint64_t(reinterpret_cast<std::uintptr_t>(surface_))};
}

// The place takes effect with the window's next commit, the size with the
// driver's next present.
void Subsurface::setFrame(Rect pixels) {
    wl_subsurface_set_position(subsurface_, int(std::lround(pixels.origin.x / scale_.factor)),
                               int(std::lround(pixels.origin.y / scale_.factor)));
    if (viewport_) {
        wp_viewport_set_destination(viewport_, std::max(1, int(std::lround(pixels.size.width / scale_.factor))),
                                    std::max(1, int(std::lround(pixels.size.height / scale_.factor))));
    }
    if (parent_->surface) wl_surface_commit(parent_->surface);
    connection_.flush();
}

} // namespace view::wayland
