#include "platform/gpu/vulkan/CompletionThread.h"

#include "platform/gpu/vulkan/VulkanError.h"

#include <pthread.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <limits>
#include <mutex>

namespace gpu::vulkan {

struct CompletionThread::State {
    struct Pending {
        std::uint64_t value = 0;
        foundation::ErrorRef error;
        Completion completion;
    };

    std::shared_ptr<VulkanContext> context;
    VkSemaphore timeline = VK_NULL_HANDLE;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Pending> pending;
    std::uint64_t lastValue = 0;
    bool stopping = false;

    ~State() {
        if (timeline) vkDestroySemaphore(context->device(), timeline, nullptr);
    }

    void enqueue(Pending next) {
        pending.push_back(std::move(next));
        wake.notify_one();
    }

    foundation::ErrorRef waitFor(std::uint64_t value) const {
        VkSemaphoreWaitInfo info{VK_STRUCTURE_TYPE_SEMAPHORE_WAIT_INFO};
        info.semaphoreCount = 1;
        info.pSemaphores = &timeline;
        info.pValues = &value;
        const VkResult result =
            vkWaitSemaphores(context->device(), &info, std::numeric_limits<std::uint64_t>::max());
        return result == VK_SUCCESS ? nullptr : vulkanError("vkWaitSemaphores", result);
    }

    // Drains what is pending before it stops, so no completion is lost.
    void run() {
        for (;;) {
            Pending next;
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || !pending.empty(); });
                if (pending.empty()) return;
                next = std::move(pending.front());
                pending.pop_front();
            }
            const foundation::ErrorRef error = next.error ? next.error : waitFor(next.value);
            next.completion(error);
        }
    }
};

CompletionThread::CompletionThread(std::shared_ptr<State> state)
    : state_(std::move(state)), thread_([state = state_] {
          pthread_setname_np(pthread_self(), "KORLAN Flow GPU");
          state->run();
      }) {}

std::shared_ptr<CompletionThread> CompletionThread::create(std::shared_ptr<VulkanContext> context) {
    auto state = std::make_shared<State>();
    state->context = std::move(context);
    VkSemaphoreTypeCreateInfo type{VK_STRUCTURE_TYPE_SEMAPHORE_TYPE_CREATE_INFO};
    type.semaphoreType = VK_SEMAPHORE_TYPE_TIMELINE;
    VkSemaphoreCreateInfo info{VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO};
    info.pNext = &type;
    if (vkCreateSemaphore(state->context->device(), &info, nullptr, &state->timeline) != VK_SUCCESS) {
        state->timeline = VK_NULL_HANDLE;
        return nullptr;
    }
    return std::shared_ptr<CompletionThread>(new CompletionThread(std::move(state)));
}

CompletionThread::~CompletionThread() {
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->wake.notify_one();
    // A completion may hold the last reference to this object; the thread
    // cannot join itself, and finishes on its own with the state it shares.
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void CompletionThread::submit(VkCommandBuffer commandBuffer, Completion completion) {
    VkCommandBufferSubmitInfo commandInfo{VK_STRUCTURE_TYPE_COMMAND_BUFFER_SUBMIT_INFO};
    commandInfo.commandBuffer = commandBuffer;
    VkSemaphoreSubmitInfo signal{VK_STRUCTURE_TYPE_SEMAPHORE_SUBMIT_INFO};
    signal.semaphore = state_->timeline;
    signal.stageMask = VK_PIPELINE_STAGE_2_ALL_COMMANDS_BIT;
    VkSubmitInfo2 info{VK_STRUCTURE_TYPE_SUBMIT_INFO_2};
    info.commandBufferInfoCount = 1;
    info.pCommandBufferInfos = &commandInfo;
    info.signalSemaphoreInfoCount = 1;
    info.pSignalSemaphoreInfos = &signal;

    // The queue is used under this lock only, which also keeps the pending
    // list in submission order.
    std::lock_guard lock(state_->mutex);
    signal.value = state_->lastValue + 1;
    const VkResult result = vkQueueSubmit2(state_->context->queue(), 1, &info, VK_NULL_HANDLE);
    if (result != VK_SUCCESS) {
        state_->enqueue({0, vulkanError("vkQueueSubmit2", result), std::move(completion)});
        return;
    }
    state_->lastValue = signal.value;
    state_->enqueue({signal.value, nullptr, std::move(completion)});
}

void CompletionThread::fail(foundation::ErrorRef error, Completion completion) {
    std::lock_guard lock(state_->mutex);
    state_->enqueue({0, std::move(error), std::move(completion)});
}

foundation::ErrorRef CompletionThread::submitAndWait(VkCommandBuffer commandBuffer) {
    // Owned by the completion too, so it outlives set_value on that thread.
    auto done = std::make_shared<std::promise<foundation::ErrorRef>>();
    auto result = done->get_future();
    submit(commandBuffer, [done](const foundation::ErrorRef& error) { done->set_value(error); });
    return result.get();
}

} // namespace gpu::vulkan
