#include "host/MonitorFollower.h"

#include <algorithm>

MonitorFollower::MonitorFollower(SaverSession& session, view::DisplayServer& server, view::FullScreenLayer layer,
                                 Handlers handlers)
    : session_(session), server_(server), layer_(layer), handlers_(std::move(handlers)) {}

MonitorFollower::~MonitorFollower() { server_.setMonitorsChangedHandler(nullptr); }

bool MonitorFollower::showOnEveryMonitor() {
    server_.setMonitorsChangedHandler([this] { follow(); });
    const auto monitors = server_.monitors();
    return std::ranges::all_of(monitors, [this](const auto& monitor) { return cover(monitor); });
}

bool MonitorFollower::cover(const std::shared_ptr<view::Screen>& monitor) {
    auto backend = server_.newFullScreenWindow(monitor, layer_);
    if (!backend) return false;
    auto* backendOfWindow = backend.get();
    backend->setUserActivityHandler([this] { handlers_.userActivity(); });
    const auto shown = session_.show(std::move(backend), false, [this] { handlers_.windowClosed(); });
    if (!shown) return false;
    covered_.push_back({monitor, shown, backendOfWindow});
    return true;
}

// The new windows come first, so that no monitor goes without a saver
// while the old ones close. A monitor that has not changed keeps its
// screen, so the same screen means the same monitor.
void MonitorFollower::follow() {
    const auto monitors = server_.monitors();
    std::vector<Covered> leaving;
    std::erase_if(covered_, [&](const Covered& old) {
        if (std::ranges::find(monitors, old.monitor) != monitors.end()) return false;
        leaving.push_back(old);
        return true;
    });
    for (const auto& monitor : monitors) {
        if (std::ranges::find(covered_, monitor, &Covered::monitor) == covered_.end()) cover(monitor);
    }
    for (const auto& old : leaving) session_.close(old.shown);
    // A window that goes takes its grab of the keyboard and pointer along.
    if (!leaving.empty() && !covered_.empty()) covered_.front().backend->takeInput();
}
