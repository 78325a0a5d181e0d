#pragma once

#include "platform/PlatformExport.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Time.h"

#include <cstdint>
#include <memory>

namespace dispatch {

// A repeating timer on the main queue. It starts suspended and fires only
// once resumed: first at the start time, then every interval on that grid.
// Ticks missed while the main thread was busy coalesce into one, so a
// stall is followed by a single tick and then the regular cadence, never a
// burst. The handler runs on the main thread, never concurrently with
// itself, and no run of it starts after cancel() — also when it cancels its
// own timer.
class KF_PLATFORM_API TimerSource : public std::enable_shared_from_this<TimerSource> {
public:
    // Null when the loop cannot take another source.
    static std::shared_ptr<TimerSource> create(MainQueue& queue = MainQueue::shared());
    // A timer released without cancel() is cancelled.
    ~TimerSource();
    TimerSource(const TimerSource&) = delete;
    TimerSource& operator=(const TimerSource&) = delete;

    // The leeway says how late a tick may come; the loop wakes on the
    // microsecond it is due and rounds its sleep up to the millisecond.
    void setTimer(Time start, std::uint64_t intervalNanoseconds, std::uint64_t leewayNanoseconds);
    void setEventHandler(Block handler);
    void resume();
    void cancel();
    bool isCancelled() const { return cancelled_; }

    std::uint64_t intervalNanoseconds() const { return interval_; }
    std::uint64_t leewayNanoseconds() const { return leeway_; }

private:
    // A GLib source, defined where GLib is included.
    struct Source;
    explicit TimerSource(Source* source);
    void fire();
    void scheduleAfter(Time now);

    Source* source_;
    Time start_ = 0;
    std::uint64_t interval_ = 0;
    std::uint64_t leeway_ = 0;
    std::shared_ptr<Block> handler_;
    bool resumed_ = false;
    bool cancelled_ = false;
};

} // namespace dispatch
