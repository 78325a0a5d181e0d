#include "platform/view/wayland/WaylandDisplayServer.h"

#include "platform/view/wayland/Connection.h"
#include "platform/view/wayland/GammaControl.h"
#include "platform/view/wayland/LayerSurfaceBackend.h"
#include "platform/view/wayland/Output.h"
#include "platform/view/wayland/ToplevelBackend.h"

#include <algorithm>

namespace view::wayland {

std::unique_ptr<WaylandDisplayServer> WaylandDisplayServer::connect(std::string* failure) {
    auto* connection = Connection::open(failure);
    if (!connection) return nullptr;
    return std::unique_ptr<WaylandDisplayServer>(new WaylandDisplayServer(*connection));
}

WaylandDisplayServer::WaylandDisplayServer(Connection& connection) : connection_(connection) {}

WaylandDisplayServer::~WaylandDisplayServer() {
    connection_.setOutputsChangedHandler(nullptr);
    connection_.setHangUpHandler(nullptr);
}

bool WaylandDisplayServer::hasLayerShell() const { return connection_.globals().layerShell != nullptr; }

void WaylandDisplayServer::setHangUpHandler(std::function<void(const std::string&)> handler) {
    connection_.setHangUpHandler(std::move(handler));
}

gpu::NativeDisplay WaylandDisplayServer::nativeDisplay() const {
    return {gpu::WindowSystem::Wayland, connection_.display()};
}

std::vector<std::shared_ptr<Screen>> WaylandDisplayServer::monitors() {
    std::vector<std::shared_ptr<Screen>> screens;
    for (const auto* output : connection_.outputs()) screens.push_back(output->screen());
    return screens;
}

void WaylandDisplayServer::setMonitorsChangedHandler(std::function<void()> handler) {
    connection_.setOutputsChangedHandler(std::move(handler));
}

std::unique_ptr<WindowBackend> WaylandDisplayServer::newFullScreenWindow(const std::shared_ptr<Screen>& monitor,
                                                                         FullScreenLayer layer) {
    const auto outputs = connection_.outputs();
    const auto output = std::ranges::find(outputs, monitor, &Output::screen);
    if (output == outputs.end()) return nullptr;
    return LayerSurfaceBackend::create(connection_, **output, layer);
}

std::unique_ptr<WindowBackend> WaylandDisplayServer::newDecoratedWindow(Size contentSize, const std::string& title,
                                                                        std::string* failure) {
    const auto outputs = connection_.outputs();
    if (outputs.empty()) {
        if (failure) *failure = "the Wayland compositor has no output to show a window on";
        return nullptr;
    }
    return ToplevelBackend::create(connection_, *outputs.front(), contentSize, title, failure);
}

std::unique_ptr<DisplayFade> WaylandDisplayServer::newDisplayFade() { return GammaControl::create(connection_); }

} // namespace view::wayland
