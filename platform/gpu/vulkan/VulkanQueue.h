#pragma once

#include "platform/foundation/Error.h"
#include "platform/foundation/InplaceFunction.h"
#include "platform/gpu/vulkan/CompletionThread.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/RecordingThread.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace gpu::vulkan {

// A swapchain image to present once the submission it belongs to has
// rendered it; told the present's result on the submitting thread.
struct PresentRequest {
    VkSwapchainKHR swapchain = VK_NULL_HANDLE;
    std::uint32_t imageIndex = 0;
    VkSemaphore renderFinished = VK_NULL_HANDLE;
    foundation::InplaceFunction<void(VkResult result), 2 * sizeof(void*)> presented;
};

// What a submission waits for and presents besides its command buffer;
// cleared, it keeps its room for the next one.
struct SubmissionSync {
    std::vector<VkSemaphoreSubmitInfo> waits;
    std::vector<VkSemaphoreSubmitInfo> signals;
    std::vector<PresentRequest> presents;

    void clear() {
        waits.clear();
        signals.clear();
        presents.clear();
    }
};

// The device's one queue: every vkQueueSubmit2 and vkQueuePresentKHR of the
// process happens here, under one lock, so submissions reach the device in
// the order their completions are expected. Committed command buffers are
// recorded and submitted on the queue's recording thread, in commit order;
// the backend's own work is submitted from the thread that asks for it.
class VulkanQueue {
public:
    using Completion = CompletionThread::Completion;

    VulkanQueue(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<CompletionThread> completionThread);

    // Submits the buffer (or only the waits and signals, without one), then
    // presents what it rendered; the completion
    // runs on the completion thread once the work has completed, or at once
    // in its turn with the error when the device refused it.
    void submit(VkCommandBuffer commandBuffer, const SubmissionSync& sync, Completion completion);
    // Work that never reached the device completes in its turn with the error.
    void fail(foundation::ErrorRef error, Completion completion);
    // Blocks the calling thread, which must not be the completion thread.
    foundation::ErrorRef submitAndWait(VkCommandBuffer commandBuffer);
    // Runs the recording on the recording thread, after every recording
    // handed over before it.
    void record(RecordingThread::Recording recording) { recordingThread_.record(std::move(recording)); }
    // Waits until the device has finished everything committed and
    // submitted so far.
    void waitIdle();

private:
    void present(const PresentRequest& request);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::shared_ptr<CompletionThread> completionThread_;
    std::mutex mutex_;
    std::uint64_t lastValue_ = 0;
    // The signals of the submission under way: the sync's and the
    // completion's. Under the lock; kept for its room.
    std::vector<VkSemaphoreSubmitInfo> signals_;
    // Last, so that it has run what was committed before the rest goes.
    RecordingThread recordingThread_;
};

} // namespace gpu::vulkan
