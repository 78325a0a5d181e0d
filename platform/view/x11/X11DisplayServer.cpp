#include "platform/view/x11/X11DisplayServer.h"

#include "platform/view/x11/GammaFade.h"
#include "platform/view/x11/X11WindowBackend.h"

#include <algorithm>

namespace view::x11 {

X11DisplayServer::X11DisplayServer(Connection& connection) : connection_(connection) {}

X11DisplayServer::~X11DisplayServer() = default;

std::vector<std::shared_ptr<Screen>> X11DisplayServer::monitors() {
    // While watched, the watch keeps the list up to date.
    if (!watch_) remember(connection_.monitors());
    std::vector<std::shared_ptr<Screen>> screens;
    for (const auto& monitor : known_) screens.push_back(monitor.screen);
    return screens;
}

void X11DisplayServer::setMonitorsChangedHandler(std::function<void()> handler) {
    changed_ = std::move(handler);
    if (!changed_) {
        watch_.reset();
        return;
    }
    if (watch_) return;
    watch_.emplace(connection_, [this](const std::vector<Monitor>& monitors) {
        remember(monitors);
        if (changed_) changed_();
    });
    remember(watch_->monitors());
}

void X11DisplayServer::remember(std::vector<Monitor> monitors) {
    for (auto& monitor : monitors) {
        const auto known = std::ranges::find_if(known_, [&](const Monitor& old) { return sameMonitor(old, monitor); });
        if (known != known_.end()) monitor = *known;
    }
    known_ = std::move(monitors);
}

std::unique_ptr<WindowBackend> X11DisplayServer::newFullScreenWindow(const std::shared_ptr<Screen>& monitor,
                                                                     FullScreenLayer layer) {
    if (layer != FullScreenLayer::Overlay) return nullptr;
    const auto found = std::ranges::find(known_, monitor, &Monitor::screen);
    if (found == known_.end()) return nullptr;
    return X11WindowBackend::newFullScreen(connection_, *found);
}

std::unique_ptr<WindowBackend> X11DisplayServer::newDecoratedWindow(Size contentSize, const std::string& title,
                                                                    std::string* failure) {
    return X11WindowBackend::newDecorated(connection_, connection_.monitors().front(), contentSize, title, failure);
}

std::unique_ptr<DisplayFade> X11DisplayServer::newDisplayFade() { return std::make_unique<GammaFade>(connection_); }

} // namespace view::x11
