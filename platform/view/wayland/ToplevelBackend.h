#pragma once

#include "platform/view/wayland/Output.h"
#include "platform/view/wayland/SurfaceBackend.h"

#include <cstdint>
#include <memory>
#include <string>

struct xdg_surface;
struct xdg_toplevel;

namespace view::wayland {

// An ordinary window through xdg-shell, with a title, of the size asked for
// unless the compositor (a tiling one, say) gives it another; closing it
// closes the window.
class ToplevelBackend : public SurfaceBackend {
public:
    // Null with the reason when the compositor offers no xdg-shell.
    static std::unique_ptr<ToplevelBackend> create(Connection& connection, const Output& output, Size contentSize,
                                                   const std::string& title, std::string* failure = nullptr);
    ~ToplevelBackend() override;

    // The role's events, from its listeners.
    struct Role {
        xdg_surface* surface = nullptr;
        xdg_toplevel* toplevel = nullptr;
        ToplevelBackend* backend = nullptr;
        // The size the compositor gave; 0 leaves it to us.
        Size given;
        std::uint32_t serial = 0;
        bool configured = false;
    };
    void roleConfigured();
    void roleClosed() { closedByCompositor(); }

protected:
    void destroyRole() override;

private:
    ToplevelBackend(Connection& connection, const NewSurface& surface, const Output& output, std::unique_ptr<Role> role,
                    Size contentSize);

    std::unique_ptr<Role> role_;
    Size wanted_;
};

} // namespace view::wayland
