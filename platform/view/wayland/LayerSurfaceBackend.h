#pragma once

#include "platform/view/DisplayServer.h"
#include "platform/view/wayland/Output.h"
#include "platform/view/wayland/SurfaceBackend.h"

#include <cstdint>
#include <memory>
#include <string>

struct zwlr_layer_surface_v1;

namespace view::wayland {

// A window covering one output through the layer shell: on the overlay
// layer, above every window, with the keyboard and the pointer hidden over
// it (the saver); or on the background layer, below every window and
// taking no input (the animated wallpaper). The compositor gives its size.
class LayerSurfaceBackend : public SurfaceBackend {
public:
    // Null with the reason when the compositor offers no layer shell or
    // configures the surface with no size.
    static std::unique_ptr<LayerSurfaceBackend> create(Connection& connection, const Output& output,
                                                       FullScreenLayer layer, std::string* failure = nullptr);
    ~LayerSurfaceBackend() override;

    // The role's events, from its listener.
    struct Role {
        zwlr_layer_surface_v1* layerSurface = nullptr;
        LayerSurfaceBackend* backend = nullptr;
        std::uint32_t serial = 0;
        Size size;
        bool configured = false;
        bool closed = false;
    };
    void roleConfigured();
    void roleClosed() { closedByCompositor(); }

protected:
    void destroyRole() override;
    bool hidesPointer() const override { return layer_ == FullScreenLayer::Overlay; }

private:
    LayerSurfaceBackend(Connection& connection, const NewSurface& surface, const Output& output,
                        std::unique_ptr<Role> role, FullScreenLayer layer);

    std::unique_ptr<Role> role_;
    FullScreenLayer layer_;
};

} // namespace view::wayland
