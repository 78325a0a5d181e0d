#include "platform/dispatch/MainQueue.h"

namespace dispatch {

MainQueue& MainQueue::shared() {
    static MainQueue* queue = new MainQueue;
    return *queue;
}

void MainQueue::async(Block block) {
    {
        std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    queued_.notify_all();
}

std::size_t MainQueue::drain() {
    std::deque<Block> ready;
    {
        std::lock_guard lock(mutex_);
        ready.swap(blocks_);
    }
    for (auto& block : ready) block();
    return ready.size();
}

bool MainQueue::waitForWork(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return queued_.wait_for(lock, timeout, [this] { return !blocks_.empty(); });
}

void async(Block block) { MainQueue::shared().async(std::move(block)); }

} // namespace dispatch
