#include "platform/gpu/vulkan/RecordingThread.h"

#include <pthread.h>

namespace gpu::vulkan {

RecordingThread::RecordingThread()
    : thread_([this] {
          pthread_setname_np(pthread_self(), "KORLAN Flow Rec");
          run();
      }) {}

RecordingThread::~RecordingThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RecordingThread::record(Recording recording) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(recording));
    }
    wake_.notify_one();
}

void RecordingThread::drain() {
    std::unique_lock lock(mutex_);
    drained_.wait(lock, [this] { return pending_.empty() && !running_; });
}

// Runs what is pending before it stops, so no committed work is lost.
void RecordingThread::run() {
    std::vector<Recording> batch;
    std::unique_lock lock(mutex_);
    for (;;) {
        running_ = false;
        drained_.notify_all();
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) return;
        batch.swap(pending_);
        running_ = true;
        lock.unlock();
        for (auto& recording : batch) {
            recording();
            // What the recording holds goes now, not with the batch.
            recording = nullptr;
        }
        batch.clear();
        lock.lock();
    }
}

} // namespace gpu::vulkan
