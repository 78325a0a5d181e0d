#include "platform/view/x11/MonitorWatch.h"

#include <algorithm>

namespace view::x11 {

namespace {

// Often enough that a monitor set by a client is followed well within half
// a second; one round trip to the server each time.
constexpr std::uint64_t kPollNanoseconds = 200000000;

bool sameMonitors(const std::vector<Monitor>& one, const std::vector<Monitor>& other) {
    return std::ranges::equal(one, other, &sameMonitor);
}

std::int64_t displayNumberOf(const Monitor& monitor) {
    const auto& description = monitor.screen->deviceDescription();
    const auto number = description.find(kScreenNumberKey);
    return number == description.end() ? 0 : std::get<std::int64_t>(number->second);
}

} // namespace

bool sameMonitor(const Monitor& one, const Monitor& other) {
    return one.xScreen == other.xScreen && one.pixels.x == other.pixels.x && one.pixels.y == other.pixels.y &&
           one.pixels.width == other.pixels.width && one.pixels.height == other.pixels.height &&
           displayNumberOf(one) == displayNumberOf(other);
}

MonitorWatch::MonitorWatch(Connection& connection, Handler changed)
    : connection_(connection), changed_(std::move(changed)), known_(connection.monitors()),
      poll_(dispatch::TimerSource::create()) {
    connection_.setMonitorsChangedHandler([this] { check(); });
    if (!poll_) return;
    poll_->setTimer(dispatch::time(dispatch::now(), std::int64_t(kPollNanoseconds)), kPollNanoseconds,
                    kPollNanoseconds / 10);
    // The timer goes with this object, before it.
    poll_->setEventHandler([this] { check(); });
    poll_->resume();
}

MonitorWatch::~MonitorWatch() {
    connection_.setMonitorsChangedHandler(nullptr);
    if (poll_) poll_->cancel();
}

void MonitorWatch::check() {
    auto now = connection_.monitors();
    if (sameMonitors(now, known_)) return;
    known_ = std::move(now);
    changed_(known_);
}

} // namespace view::x11
