#include "platform/view/wayland/LayerSurfaceBackend.h"

#include <wayland-client.h>

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace view::wayland {

namespace {

// What the compositor may tell the surfaces apart by (its rules, its
// lists of layers).
constexpr const char* kNamespace = "korlan-flow";

constexpr std::uint32_t kAllEdges = ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;
// Over the whole output, whatever room panels keep for themselves.
constexpr std::int32_t kWholeOutput = -1;

using Role = LayerSurfaceBackend::Role;

const zwlr_layer_surface_v1_listener kListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height) {
            auto& role = *static_cast<Role*>(data);
            role.serial = serial;
            role.size = {double(width), double(height)};
            role.configured = true;
            if (role.backend) role.backend->roleConfigured();
        },
    .closed =
        [](void* data, zwlr_layer_surface_v1*) {
            auto& role = *static_cast<Role*>(data);
            role.closed = true;
            if (role.backend) role.backend->roleClosed();
        },
};

} // namespace

std::unique_ptr<LayerSurfaceBackend> LayerSurfaceBackend::create(Connection& connection, const Output& output,
                                                                 FullScreenLayer layer, std::string* failure) {
    auto* shell = connection.globals().layerShell;
    if (!shell) {
        if (failure) *failure = "the Wayland compositor offers no layer shell (zwlr_layer_shell_v1)";
        return nullptr;
    }
    const auto surface = NewSurface::create(connection);
    auto role = std::make_unique<Role>();
    const bool overlay = layer == FullScreenLayer::Overlay;
    role->layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        shell, surface->surface, output.handle(),
        overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, kNamespace);
    zwlr_layer_surface_v1_add_listener(role->layerSurface, &kListener, role.get());
    zwlr_layer_surface_v1_set_anchor(role->layerSurface, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(role->layerSurface, kWholeOutput);
    zwlr_layer_surface_v1_set_keyboard_interactivity(role->layerSurface,
                                                     overlay ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                                             : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    // Committed without a buffer, the surface asks for its first
    // configure (and its preferred scale).
    wl_surface_commit(surface->surface);
    connection.roundtrip();
    const bool usable = role->configured && !role->closed && role->size.width > 0 && role->size.height > 0;
    std::unique_ptr<LayerSurfaceBackend> backend(
        new LayerSurfaceBackend(connection, *surface, output, std::move(role), layer));
    if (!usable) {
        if (failure) *failure = "the Wayland compositor gave the saver's surface on " + output.name() + " no size";
        return nullptr;
    }
    backend->roleConfigured();
    return backend;
}

LayerSurfaceBackend::LayerSurfaceBackend(Connection& connection, const NewSurface& surface, const Output& output,
                                         std::unique_ptr<Role> role, FullScreenLayer layer)
    : SurfaceBackend(connection, surface, output.screen(), surface.scaleOn(output.scale())), role_(std::move(role)),
      layer_(layer) {
    role_->backend = this;
}

LayerSurfaceBackend::~LayerSurfaceBackend() { close(); }

void LayerSurfaceBackend::roleConfigured() {
    if (isClosed()) return;
    zwlr_layer_surface_v1_ack_configure(role_->layerSurface, role_->serial);
    configured(role_->size);
}

void LayerSurfaceBackend::destroyRole() {
    role_->backend = nullptr;
    zwlr_layer_surface_v1_destroy(role_->layerSurface);
}

} // namespace view::wayland
