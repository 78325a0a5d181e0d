#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/InplaceFunction.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <thread>

namespace gpu::vulkan {

// Reports the completion of submitted work on a thread of its own, in
// submission order: each submission signals the next value of one timeline
// semaphore, which the thread waits for in turn.
class CompletionThread {
public:
    // Runs on the completion thread, with null or the error that ended the
    // work; released right after it ran. Kept without a heap allocation.
    using Completion = foundation::InplaceFunction<void(const foundation::ErrorRef& error), 6 * sizeof(void*)>;

    // Null when the timeline semaphore cannot be made.
    static std::shared_ptr<CompletionThread> create(std::shared_ptr<LogicalDevice> logicalDevice);
    // Waits until everything expected has completed and its completion has
    // run, then joins the thread.
    ~CompletionThread();
    CompletionThread(const CompletionThread&) = delete;
    CompletionThread& operator=(const CompletionThread&) = delete;

    // What submissions signal; value n for the nth expected completion.
    VkSemaphore timeline() const;
    // Runs the completion once the timeline reaches the value. Values are
    // expected in increasing order.
    void expect(std::uint64_t value, Completion completion);
    // Work that never reached the device still completes in its turn, with
    // the error that stopped it.
    void fail(foundation::ErrorRef error, Completion completion);

private:
    struct State;
    explicit CompletionThread(std::shared_ptr<State> state);

    // Shared with the thread, which may outlive this object when the last
    // reference to it is dropped by a completion.
    std::shared_ptr<State> state_;
    std::thread thread_;
};

} // namespace gpu::vulkan
