#pragma once

#include "platform/foundation/InplaceFunction.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace gpu::vulkan {

// Where committed command buffers are recorded into Vulkan and submitted: a
// thread of its own that runs the recordings one after another, in the order
// they were committed. The committing thread only hands a recording over,
// so a CPU device's recording and its submission, which such a device
// carries out on the submitting thread, cost the main thread nothing.
class RecordingThread {
public:
    // Kept without a heap allocation.
    using Recording = foundation::InplaceFunction<void(), 3 * sizeof(void*)>;

    RecordingThread();
    // Runs what was handed over, then joins the thread.
    ~RecordingThread();
    RecordingThread(const RecordingThread&) = delete;
    RecordingThread& operator=(const RecordingThread&) = delete;

    void record(Recording recording);
    // Returns once every recording handed over so far has run.
    void drain();

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable drained_;
    // Handed over since the thread last looked; the thread swaps it for the
    // emptied batch it worked through, so that both keep their room.
    std::vector<Recording> pending_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace gpu::vulkan
