#include "host/MonitorFollower.h"

#include <algorithm>
#include <functional>

namespace {

template <typename Range, typename Projection = std::identity>
bool holds(const Range& range, const view::x11::Monitor& monitor, Projection projection = {}) {
    return std::ranges::any_of(
        range, [&](const view::x11::Monitor& other) { return view::x11::sameMonitor(other, monitor); }, projection);
}

} // namespace

MonitorFollower::MonitorFollower(SaverSession& session, view::x11::Connection& connection, Handlers handlers)
    : session_(session), connection_(connection), handlers_(std::move(handlers)) {}

bool MonitorFollower::showOnEveryMonitor() {
    watch_.emplace(connection_, [this](const auto& monitors) { follow(monitors); });
    return std::ranges::all_of(watch_->monitors(), [this](const auto& monitor) { return cover(monitor); });
}

bool MonitorFollower::cover(const view::x11::Monitor& monitor) {
    auto backend = view::x11::X11WindowBackend::newFullScreen(connection_, monitor);
    auto* backendOfWindow = backend.get();
    backend->setUserActivityHandler([this] { handlers_.userActivity(); });
    const auto shown = session_.show(std::move(backend), false, [this] { handlers_.windowClosed(); });
    if (!shown) return false;
    covered_.push_back({monitor, shown, backendOfWindow});
    return true;
}

// The new windows come first, so that no monitor goes without a saver
// while the old ones close.
void MonitorFollower::follow(const std::vector<view::x11::Monitor>& monitors) {
    std::vector<Covered> leaving;
    std::erase_if(covered_, [&](const Covered& old) {
        if (holds(monitors, old.monitor)) return false;
        leaving.push_back(old);
        return true;
    });
    for (const auto& monitor : monitors) {
        if (!holds(covered_, monitor, &Covered::monitor)) cover(monitor);
    }
    for (const auto& old : leaving) session_.close(old.shown);
    // A window that goes takes its grab of the keyboard and pointer along.
    if (!leaving.empty() && !covered_.empty()) covered_.front().backend->takeInput();
}
