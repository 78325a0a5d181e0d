#include "host/DisplayServerChoice.h"

#include "platform/view/x11/X11DisplayServer.h"

namespace {

std::optional<OpenedDisplayServer> openX11(std::string& failure) {
    auto* connection = view::x11::Connection::open(&failure);
    if (!connection) return std::nullopt;
    return OpenedDisplayServer{std::make_unique<view::x11::X11DisplayServer>(*connection), connection};
}

} // namespace

std::optional<OpenedDisplayServer> openDisplayServer(WindowSystemChoice choice, std::string& failure) {
    switch (choice) {
    case WindowSystemChoice::X11:
    case WindowSystemChoice::Automatic:
        return openX11(failure);
    case WindowSystemChoice::Wayland:
        failure = "Wayland is not supported yet";
        return std::nullopt;
    }
    return std::nullopt;
}
