#pragma once

#include "platform/dispatch/TimerSource.h"

#include <cstdint>
#include <memory>

// --fps: once a second, one line on standard error with the frames shown
// in windows during that second.
class FrameRateReport {
public:
    FrameRateReport();
    ~FrameRateReport();
    FrameRateReport(const FrameRateReport&) = delete;
    FrameRateReport& operator=(const FrameRateReport&) = delete;

private:
    void report();

    std::shared_ptr<dispatch::TimerSource> timer_;
    std::uint64_t framesBefore_;
    dispatch::Time reportedAt_;
};
