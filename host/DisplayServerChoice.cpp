#include "host/DisplayServerChoice.h"

#include "platform/view/x11/X11DisplayServer.h"

#include <cstdlib>

namespace {

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

std::optional<OpenedDisplayServer> openX11(std::string& failure) {
    auto* connection = view::x11::Connection::open(&failure);
    if (!connection) return std::nullopt;
    return OpenedDisplayServer{std::make_unique<view::x11::X11DisplayServer>(*connection), connection, nullptr};
}

std::optional<OpenedDisplayServer> openWayland(std::string& failure) {
    auto server = view::wayland::WaylandDisplayServer::connect(&failure);
    if (!server) return std::nullopt;
    auto* wayland = server.get();
    return OpenedDisplayServer{std::move(server), nullptr, wayland};
}

} // namespace

std::optional<OpenedDisplayServer> openDisplayServer(WindowSystemChoice choice, std::string& failure) {
    switch (choice) {
    case WindowSystemChoice::X11:
        return openX11(failure);
    case WindowSystemChoice::Wayland:
        return openWayland(failure);
    case WindowSystemChoice::Automatic:
        break;
    }
    if (!isSet("WAYLAND_DISPLAY")) return openX11(failure);
    auto wayland = openWayland(failure);
    if (wayland || !isSet("DISPLAY")) return wayland;
    return openX11(failure);
}
