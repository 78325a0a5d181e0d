#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace gpu::vulkan {

// Tells a drawable source waiting for a free drawable that a frame has
// finished. The drawable is free only once its command buffer let go of it
// too, a moment after the signal, so the wait looks again every
// millisecond as well.
class FrameFinishedSignal {
public:
    void frameFinished() { finished_.notify_all(); }

    // True once the condition holds, false when the time ran out first.
    template <typename Condition>
    bool waitUntil(Condition condition, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(mutex_);
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            finished_.wait_for(lock, kLookAgain);
        }
        return true;
    }

private:
    static constexpr std::chrono::milliseconds kLookAgain{1};

    std::mutex mutex_;
    std::condition_variable finished_;
};

} // namespace gpu::vulkan
