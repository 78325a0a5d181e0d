#include "platform/gpu/vulkan/CompletionThread.h"

#include "platform/gpu/vulkan/VulkanError.h"

#include <pthread.h>

#include <condition_variable>
#include <vector>
#include <limits>
#include <mutex>

namespace gpu::vulkan {

struct CompletionThread::State {
    struct Pending {
        std::uint64_t value = 0;
        foundation::ErrorRef error;
        Completion completion;
    };

    std::shared_ptr<LogicalDevice> logicalDevice;
    VkSemaphore timeline = VK_NULL_HANDLE;
    std::mutex mutex;
    std::condition_variable wake;
    // What was expected since the thread last looked, in order; the thread
    // swaps it for the emptied batch it worked through, so that both keep
    // their room.
    std::vector<Pending> pending;
    bool stopping = false;

    ~State() {
        if (timeline) vkDestroySemaphore(logicalDevice->device(), timeline, nullptr);
    }

    void enqueue(Pending next) {
        {
            std::lock_guard lock(mutex);
            pending.push_back(std::move(next));
        }
        wake.notify_one();
    }

    foundation::ErrorRef waitFor(std::uint64_t value) const {
        const VkSemaphoreWaitInfo info{
            .sType = VK_STRUCTURE_TYPE_SEMAPHORE_WAIT_INFO,
            .semaphoreCount = 1,
            .pSemaphores = &timeline,
            .pValues = &value,
        };
        const VkResult result = logicalDevice->noteResult(
            vkWaitSemaphores(logicalDevice->device(), &info, std::numeric_limits<std::uint64_t>::max()));
        return result == VK_SUCCESS ? nullptr : vulkanError("vkWaitSemaphores", result);
    }

    // Drains what is pending before it stops, so no completion is lost.
    void run() {
        std::vector<Pending> batch;
        for (;;) {
            {
                std::unique_lock lock(mutex);
                wake.wait(lock, [this] { return stopping || !pending.empty(); });
                if (pending.empty()) return;
                batch.swap(pending);
            }
            for (auto& next : batch) {
                const foundation::ErrorRef error = next.error ? next.error : waitFor(next.value);
                next.completion(error);
                // What the completion holds goes now, not with the batch.
                next = {};
            }
            batch.clear();
        }
    }
};

CompletionThread::CompletionThread(std::shared_ptr<State> state)
    : state_(std::move(state)), thread_([state = state_] {
          pthread_setname_np(pthread_self(), "KORLAN Flow GPU");
          state->run();
      }) {}

std::shared_ptr<CompletionThread> CompletionThread::create(std::shared_ptr<LogicalDevice> logicalDevice) {
    auto state = std::make_shared<State>();
    state->logicalDevice = std::move(logicalDevice);
    const VkSemaphoreTypeCreateInfo type{
        .sType = VK_STRUCTURE_TYPE_SEMAPHORE_TYPE_CREATE_INFO,
        .semaphoreType = VK_SEMAPHORE_TYPE_TIMELINE,
    };
    const VkSemaphoreCreateInfo info{.sType = VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO, .pNext = &type};
    if (vkCreateSemaphore(state->logicalDevice->device(), &info, nullptr, &state->timeline) != VK_SUCCESS) {
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

VkSemaphore CompletionThread::timeline() const { return state_->timeline; }

void CompletionThread::expect(std::uint64_t value, Completion completion) {
    state_->enqueue({value, nullptr, std::move(completion)});
}

void CompletionThread::fail(foundation::ErrorRef error, Completion completion) {
    state_->enqueue({0, std::move(error), std::move(completion)});
}

} // namespace gpu::vulkan
