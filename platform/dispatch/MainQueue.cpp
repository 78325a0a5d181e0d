#include "platform/dispatch/MainQueue.h"

#include "platform/dispatch/MainQueueContext.h"
#include "platform/dispatch/ReadinessSource.h"

namespace dispatch {

MainQueue::MainQueue() : loop_(new Loop{g_main_context_default()}) {
    // async() wakes the context, whose next iteration finds the blocks.
    attachReadinessSource(*this, "KORLAN Flow main queue", [this] { return hasQueuedBlocks(); }, [this] { drain(); });
}

MainQueue& MainQueue::shared() {
    static MainQueue* queue = new MainQueue;
    return *queue;
}

void MainQueue::async(Block block) {
    {
        std::lock_guard lock(mutex_);
        blocks_.push_back(std::move(block));
    }
    g_main_context_wakeup(loop_->context);
}

bool MainQueue::hasQueuedBlocks() const {
    std::lock_guard lock(mutex_);
    return !blocks_.empty();
}

std::size_t MainQueue::drain() {
    std::vector<Block> ready;
    {
        std::lock_guard lock(mutex_);
        if (!spareBatches_.empty()) {
            ready = std::move(spareBatches_.back());
            spareBatches_.pop_back();
        }
        ready.swap(blocks_);
    }
    for (auto& block : ready) {
        block();
        // Released right after it ran, not when the whole batch has, so
        // what a block holds goes as early as it would alone.
        block = nullptr;
    }
    const std::size_t ran = ready.size();
    ready.clear();
    std::lock_guard lock(mutex_);
    spareBatches_.push_back(std::move(ready));
    return ran;
}

void MainQueue::run() {
    while (!stopRequested_) g_main_context_iteration(loop_->context, TRUE);
    stopRequested_ = false;
}

void MainQueue::stop() {
    stopRequested_ = true;
    g_main_context_wakeup(loop_->context);
}

bool MainQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const gint64 deadline = g_get_monotonic_time() + std::chrono::microseconds(timeout).count();
    // A timeout source wakes the blocking iteration at the deadline.
    GSource* alarm = g_timeout_source_new(static_cast<guint>(timeout.count()));
    g_source_set_callback(alarm, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
    g_source_attach(alarm, loop_->context);
    bool finished = done();
    while (!finished && g_get_monotonic_time() < deadline) {
        g_main_context_iteration(loop_->context, TRUE);
        finished = done();
    }
    g_source_destroy(alarm);
    g_source_unref(alarm);
    return finished;
}

void MainQueue::runPending() {
    while (g_main_context_iteration(loop_->context, FALSE)) {
    }
}

void async(Block block) { MainQueue::shared().async(std::move(block)); }

} // namespace dispatch
