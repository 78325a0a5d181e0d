#include "platform/dispatch/TimerSource.h"

#include "platform/dispatch/MainQueueContext.h"

#include <ctime>

namespace dispatch {

namespace {

constexpr std::uint64_t kNanosecondsPerMicrosecond = 1000;

// GLib's ready times are microseconds of the same monotonic clock; rounding
// up keeps a tick from coming before it is due.
gint64 readyTimeFor(Time due) {
    return static_cast<gint64>((due + kNanosecondsPerMicrosecond - 1) / kNanosecondsPerMicrosecond);
}

} // namespace

Time now() {
    timespec clock{};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    return static_cast<Time>(clock.tv_sec) * kNanosecondsPerSecond + static_cast<Time>(clock.tv_nsec);
}

Time time(Time when, std::int64_t deltaNanoseconds) {
    if (deltaNanoseconds < 0 && static_cast<std::uint64_t>(-deltaNanoseconds) > when) return 0;
    return when + static_cast<Time>(deltaNanoseconds);
}

struct TimerSource::Source {
    GSource base;
    // Not owning: the timer destroys its source before it goes.
    TimerSource* timer;

    static gboolean dispatch(GSource* source, GSourceFunc, gpointer) {
        reinterpret_cast<Source*>(source)->timer->fire();
        return G_SOURCE_CONTINUE;
    }

    static inline GSourceFuncs functions = {
        .prepare = nullptr,
        .check = nullptr,
        .dispatch = &dispatch,
        .finalize = nullptr,
        .closure_callback = nullptr,
        .closure_marshal = nullptr,
    };
};

TimerSource::TimerSource(Source* source) : source_(source) {}

std::shared_ptr<TimerSource> TimerSource::create(MainQueue& queue) {
    GSource* source = g_source_new(&Source::functions, sizeof(Source));
    if (!source) return nullptr;
    auto* timerSource = reinterpret_cast<Source*>(source);
    std::shared_ptr<TimerSource> timer(new TimerSource(timerSource));
    timerSource->timer = timer.get();
    g_source_set_name(source, "KORLAN Flow timer");
    g_source_set_ready_time(source, -1);
    g_source_attach(source, queue.loop().context);
    return timer;
}

TimerSource::~TimerSource() {
    cancel();
    g_source_unref(&source_->base);
}

void TimerSource::setTimer(Time start, std::uint64_t intervalNanoseconds, std::uint64_t leewayNanoseconds) {
    start_ = start;
    interval_ = intervalNanoseconds;
    leeway_ = leewayNanoseconds;
    if (resumed_ && !cancelled_) g_source_set_ready_time(&source_->base, readyTimeFor(start_));
}

void TimerSource::setEventHandler(Block handler) { handler_ = std::make_shared<Block>(std::move(handler)); }

void TimerSource::resume() {
    if (resumed_ || cancelled_) return;
    resumed_ = true;
    g_source_set_ready_time(&source_->base, readyTimeFor(start_));
}

void TimerSource::cancel() {
    if (cancelled_) return;
    cancelled_ = true;
    g_source_destroy(&source_->base);
}

// The next due time on the grid start + k × interval after now; a one-shot
// timer (no interval) fires no more.
void TimerSource::scheduleAfter(Time current) {
    if (interval_ == 0) {
        g_source_set_ready_time(&source_->base, -1);
        return;
    }
    const Time elapsed = current >= start_ ? current - start_ : 0;
    const Time next = start_ + (elapsed / interval_ + 1) * interval_;
    g_source_set_ready_time(&source_->base, readyTimeFor(next));
}

void TimerSource::fire() {
    if (cancelled_) return;
    // Scheduled before the handler runs, from the time it ran: every tick
    // that came due while the loop was held up folds into this one.
    scheduleAfter(now());
    // The handler may replace itself or release this timer; the run keeps
    // both alive until it returns.
    const auto self = shared_from_this();
    const auto handler = handler_;
    if (handler && *handler) (*handler)();
}

} // namespace dispatch
