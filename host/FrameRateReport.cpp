#include "host/FrameRateReport.h"

#include "platform/gpu/PresentationStatistics.h"

#include <cstdio>

FrameRateReport::FrameRateReport()
    : timer_(dispatch::TimerSource::create()), framesBefore_(gpu::framesShownInWindows()),
      reportedAt_(dispatch::now()) {
    if (!timer_) return;
    const std::uint64_t second = dispatch::kNanosecondsPerSecond;
    timer_->setTimer(dispatch::time(reportedAt_, std::int64_t(second)), second, second / 20);
    // The timer goes with this object, before it.
    timer_->setEventHandler([this] { report(); });
    timer_->resume();
}

FrameRateReport::~FrameRateReport() {
    if (timer_) timer_->cancel();
}

// Divided by the time that really passed: a busy main thread makes ticks
// late.
void FrameRateReport::report() {
    const std::uint64_t frames = gpu::framesShownInWindows();
    const dispatch::Time now = dispatch::now();
    const double seconds = double(now - reportedAt_) / double(dispatch::kNanosecondsPerSecond);
    std::fprintf(stderr, "korlan-flow: %.1f frames/s\n", double(frames - framesBefore_) / seconds);
    framesBefore_ = frames;
    reportedAt_ = now;
}
