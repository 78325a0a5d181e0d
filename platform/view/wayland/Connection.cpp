#include "platform/view/wayland/Connection.h"

#include "platform/view/wayland/EventSource.h"
#include "platform/view/wayland/Output.h"
#include "platform/view/wayland/Seat.h"

#include <wayland-client.h>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wlr-gamma-control-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace view::wayland {

namespace {

// The highest versions whose requests and events the backend knows.
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kLayerShellVersion = 4;
constexpr std::uint32_t kWindowManagerVersion = 2;
constexpr std::uint32_t kSeatVersion = 5;
constexpr std::uint32_t kOutputVersion = 4;

template <typename Proxy>
Proxy* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered,
            std::uint32_t known) {
    return static_cast<Proxy*>(wl_registry_bind(registry, name, &interface, std::min(offered, known)));
}

const wl_registry_listener kRegistryListener = {
    .global =
        [](void* data, wl_registry*, uint32_t name, const char* interface, uint32_t version) {
            static_cast<Connection*>(data)->announceGlobal(name, interface, version);
        },
    .global_remove = [](void* data, wl_registry*, uint32_t name) { static_cast<Connection*>(data)->removeGlobal(name); },
};

// The compositor asks now and then whether we still answer.
const xdg_wm_base_listener kWindowManagerListener = {
    .ping = [](void*, xdg_wm_base* windowManager, uint32_t serial) { xdg_wm_base_pong(windowManager, serial); },
};

std::string compositorName() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && *name ? name : "wayland-0";
}

} // namespace

Connection* Connection::open(std::string* failure) {
    static Connection* shared = nullptr;
    if (shared) return shared;
    // Said here, in one line, rather than by libwayland on standard error.
    const char* runtimeDirectory = std::getenv("XDG_RUNTIME_DIR");
    if (!compositorName().starts_with('/') && !(runtimeDirectory && *runtimeDirectory)) {
        if (failure) *failure = "cannot connect to the Wayland compositor " + compositorName() + ": XDG_RUNTIME_DIR is not set";
        return nullptr;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        if (failure) *failure = "cannot connect to the Wayland compositor " + compositorName();
        return nullptr;
    }
    auto* connection = new Connection(display);
    // The globals, then what the outputs and seats say of themselves.
    connection->roundtrip();
    connection->roundtrip();
    if (!connection->globals_.compositor || !connection->globals_.shm) {
        if (failure) *failure = "the Wayland compositor " + compositorName() + " offers no wl_compositor or wl_shm";
        return nullptr;
    }
    shared = connection;
    watchConnection(*shared);
    return shared;
}

Connection::Connection(wl_display* display) : display_(display), registry_(wl_display_get_registry(display)) {
    wl_registry_add_listener(registry_, &kRegistryListener, this);
}

void Connection::announceGlobal(std::uint32_t name, const char* interface, std::uint32_t version) {
    const auto is = [interface](const wl_interface& known) { return std::strcmp(interface, known.name) == 0; };
    if (is(wl_compositor_interface)) {
        globals_.compositor =
            bind<wl_compositor>(registry_, name, wl_compositor_interface, version, kCompositorVersion);
    } else if (is(wl_subcompositor_interface)) {
        globals_.subcompositor = bind<wl_subcompositor>(registry_, name, wl_subcompositor_interface, version, 1);
    } else if (is(wl_shm_interface)) {
        globals_.shm = bind<wl_shm>(registry_, name, wl_shm_interface, version, 1);
    } else if (is(zwlr_layer_shell_v1_interface)) {
        globals_.layerShell =
            bind<zwlr_layer_shell_v1>(registry_, name, zwlr_layer_shell_v1_interface, version, kLayerShellVersion);
    } else if (is(xdg_wm_base_interface)) {
        globals_.windowManager =
            bind<xdg_wm_base>(registry_, name, xdg_wm_base_interface, version, kWindowManagerVersion);
        xdg_wm_base_add_listener(globals_.windowManager, &kWindowManagerListener, this);
    } else if (is(wp_viewporter_interface)) {
        globals_.viewporter = bind<wp_viewporter>(registry_, name, wp_viewporter_interface, version, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        globals_.fractionalScale = bind<wp_fractional_scale_manager_v1>(
            registry_, name, wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (is(zwlr_gamma_control_manager_v1_interface)) {
        globals_.gammaControl =
            bind<zwlr_gamma_control_manager_v1>(registry_, name, zwlr_gamma_control_manager_v1_interface, version, 1);
    } else if (is(wl_seat_interface)) {
        auto* seat = bind<wl_seat>(registry_, name, wl_seat_interface, version, kSeatVersion);
        seats_.push_back(std::make_unique<Seat>(*this, seat, name, std::min(version, kSeatVersion)));
    } else if (is(wl_output_interface)) {
        auto* output = bind<wl_output>(registry_, name, wl_output_interface, version, kOutputVersion);
        outputs_.push_back(std::make_unique<Output>(*this, output, name, std::min(version, kOutputVersion)));
    }
}

void Connection::removeGlobal(std::uint32_t name) {
    std::erase_if(seats_, [name](const auto& seat) { return seat->globalName() == name; });
    const auto removed = std::erase_if(outputs_, [name](const auto& output) { return output->globalName() == name; });
    if (removed > 0) outputChanged();
}

std::vector<Output*> Connection::outputs() const {
    std::vector<Output*> described;
    for (const auto& output : outputs_) {
        if (output->screen()) described.push_back(output.get());
    }
    return described;
}

InputTarget* Connection::targetOf(wl_surface* surface) const {
    const auto target = targets_.find(surface);
    return target == targets_.end() ? nullptr : target->second;
}

void Connection::flush() { wl_display_flush(display_); }

void Connection::roundtrip() {
    if (wl_display_roundtrip(display_) < 0) hangUpWith("the Wayland compositor hung up");
}

void Connection::hangUpWith(const std::string& reason) {
    if (hungUp_) return;
    hungUp_ = true;
    if (hangUp_) hangUp_(reason);
}

void Connection::outputChanged() {
    if (outputsChanged_) outputsChanged_();
}

} // namespace view::wayland
