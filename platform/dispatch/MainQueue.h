#pragma once

#include "platform/PlatformExport.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>

namespace dispatch {

using Block = std::function<void()>;

// Work for the main thread, queued from any thread and run in order by the
// main thread's loop.
class KF_PLATFORM_API MainQueue {
public:
    // Created once and never destroyed: GPU threads may still queue work
    // while the process exits.
    static MainQueue& shared();

    void async(Block block);
    // Runs the blocks queued before the call, in order; blocks they queue
    // wait for the next drain, so a block that requeues itself cannot
    // starve the loop. Returns how many ran.
    std::size_t drain();
    // Waits until work is queued or the timeout passes; true when work waits.
    bool waitForWork(std::chrono::milliseconds timeout);

private:
    MainQueue() = default;

    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Block> blocks_;
};

// Queues a block on the main queue.
KF_PLATFORM_API void async(Block block);

} // namespace dispatch
