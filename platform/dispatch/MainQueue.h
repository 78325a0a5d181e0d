#pragma once

#include "platform/PlatformExport.h"
#include "platform/foundation/InplaceFunction.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace dispatch {

// Work for the main queue, kept without a heap allocation: blocks are
// queued every frame. What a block captures fits in the room of eight
// pointers.
inline constexpr std::size_t kBlockCapacity = 8 * sizeof(void*);
using Block = foundation::InplaceFunction<void(), kBlockCapacity>;

// The main thread's run loop: GLib's default main context, which GTK runs
// too, so timers, file descriptors, signals, GPU reports and the settings
// window all wait in one place. Blocks queued from any thread run on the
// main thread in the order they were queued.
class KF_PLATFORM_API MainQueue {
public:
    // Created once and never destroyed: GPU threads may still queue work
    // while the process exits.
    static MainQueue& shared();

    // Queues a block and wakes the loop; callable from any thread.
    void async(Block block);
    // Runs the blocks queued before the call, in order; blocks they queue
    // wait for the next turn, so a block that requeues itself cannot starve
    // the loop. Returns how many ran.
    std::size_t drain();

    // Runs the loop on the calling (main) thread until stop().
    void run();
    // Makes run() return after the handler that is running now; callable
    // from any thread and from inside a handler.
    void stop();
    // Runs the loop until done() holds or the timeout passes; true when
    // done() held.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs everything that is ready now, without waiting.
    void runPending();

    // The loop as GLib knows it. Complete only in MainQueueContext.h, which
    // the platform's own event sources include, so that no header the
    // module sees names a GLib type.
    struct Loop;
    Loop& loop() const { return *loop_; }

private:
    MainQueue();
    bool hasQueuedBlocks() const;

    // Never destroyed, like the queue.
    Loop* const loop_;
    mutable std::mutex mutex_;
    std::vector<Block> blocks_;
    // Emptied batches, kept with their room for the next ones; one for
    // each drain under way (a block may run the loop again).
    std::vector<std::vector<Block>> spareBatches_;
    std::atomic<bool> stopRequested_ = false;
};

// Queues a block on the main queue.
KF_PLATFORM_API void async(Block block);

} // namespace dispatch
