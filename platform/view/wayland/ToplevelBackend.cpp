#include "platform/view/wayland/ToplevelBackend.h"

#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

namespace view::wayland {

namespace {

// What the compositor groups our windows by, and finds their icon and
// desktop entry with.
constexpr const char* kApplicationId = "korlan-flow";

using Role = ToplevelBackend::Role;

Role& roleOf(void* data) { return *static_cast<Role*>(data); }

const xdg_surface_listener kSurfaceListener = {
    .configure =
        [](void* data, xdg_surface*, uint32_t serial) {
            auto& role = roleOf(data);
            role.serial = serial;
            role.configured = true;
            if (role.backend) role.backend->roleConfigured();
        },
};

const xdg_toplevel_listener kToplevelListener = {
    .configure = [](void* data, xdg_toplevel*, int32_t width, int32_t height,
                    wl_array*) { roleOf(data).given = {double(width), double(height)}; },
    .close =
        [](void* data, xdg_toplevel*) {
            if (auto* backend = roleOf(data).backend) backend->roleClosed();
        },
    .configure_bounds = [](void*, xdg_toplevel*, int32_t, int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};

} // namespace

std::unique_ptr<ToplevelBackend> ToplevelBackend::create(Connection& connection, const Output& output,
                                                         Size contentSize, const std::string& title,
                                                         std::string* failure) {
    auto* windowManager = connection.globals().windowManager;
    if (!windowManager) {
        if (failure) *failure = "the Wayland compositor offers no xdg-shell (xdg_wm_base) for ordinary windows";
        return nullptr;
    }
    const auto surface = NewSurface::create(connection);
    auto role = std::make_unique<Role>();
    role->surface = xdg_wm_base_get_xdg_surface(windowManager, surface->surface);
    xdg_surface_add_listener(role->surface, &kSurfaceListener, role.get());
    role->toplevel = xdg_surface_get_toplevel(role->surface);
    xdg_toplevel_add_listener(role->toplevel, &kToplevelListener, role.get());
    xdg_toplevel_set_title(role->toplevel, title.c_str());
    xdg_toplevel_set_app_id(role->toplevel, kApplicationId);
    wl_surface_commit(surface->surface);
    connection.roundtrip();
    std::unique_ptr<ToplevelBackend> backend(
        new ToplevelBackend(connection, *surface, output, std::move(role), contentSize));
    if (backend->role_->configured) backend->roleConfigured();
    return backend;
}

ToplevelBackend::ToplevelBackend(Connection& connection, const NewSurface& surface, const Output& output,
                                 std::unique_ptr<Role> role, Size contentSize)
    : SurfaceBackend(connection, surface, output.screen(), surface.scaleOn(output.scale())), role_(std::move(role)),
      wanted_(contentSize) {
    role_->backend = this;
    // Until the compositor says otherwise.
    configured(wanted_);
}

ToplevelBackend::~ToplevelBackend() { close(); }

void ToplevelBackend::roleConfigured() {
    if (isClosed()) return;
    xdg_surface_ack_configure(role_->surface, role_->serial);
    const Size given = role_->given;
    configured({given.width > 0 ? given.width : wanted_.width, given.height > 0 ? given.height : wanted_.height});
}

void ToplevelBackend::destroyRole() {
    role_->backend = nullptr;
    xdg_toplevel_destroy(role_->toplevel);
    xdg_surface_destroy(role_->surface);
}

} // namespace view::wayland
