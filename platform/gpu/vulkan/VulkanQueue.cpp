#include "platform/gpu/vulkan/VulkanQueue.h"

#include "platform/gpu/vulkan/VulkanError.h"

#include <future>

namespace gpu::vulkan {

VulkanQueue::VulkanQueue(std::shared_ptr<LogicalDevice> logicalDevice,
                         std::shared_ptr<CompletionThread> completionThread)
    : logicalDevice_(std::move(logicalDevice)), completionThread_(std::move(completionThread)) {}

void VulkanQueue::submit(VkCommandBuffer commandBuffer, const SubmissionSync& sync, Completion completion) {
    const VkCommandBufferSubmitInfo commandInfo{
        .sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_SUBMIT_INFO,
        .commandBuffer = commandBuffer,
    };
    std::lock_guard lock(mutex_);
    auto& signals = signals_;
    signals.assign(sync.signals.begin(), sync.signals.end());
    signals.push_back({
        .sType = VK_STRUCTURE_TYPE_SEMAPHORE_SUBMIT_INFO,
        .semaphore = completionThread_->timeline(),
        .value = lastValue_ + 1,
        .stageMask = VK_PIPELINE_STAGE_2_ALL_COMMANDS_BIT,
    });
    const VkSubmitInfo2 info{
        .sType = VK_STRUCTURE_TYPE_SUBMIT_INFO_2,
        .waitSemaphoreInfoCount = static_cast<std::uint32_t>(sync.waits.size()),
        .pWaitSemaphoreInfos = sync.waits.data(),
        .commandBufferInfoCount = commandBuffer ? 1u : 0u,
        .pCommandBufferInfos = &commandInfo,
        .signalSemaphoreInfoCount = static_cast<std::uint32_t>(signals.size()),
        .pSignalSemaphoreInfos = signals.data(),
    };
    const VkResult result =
        logicalDevice_->noteResult(vkQueueSubmit2(logicalDevice_->queue(), 1, &info, VK_NULL_HANDLE));
    if (result != VK_SUCCESS) {
        // Nothing will signal the presents' semaphores: they are not made.
        for (const auto& request : sync.presents) request.presented(result);
        completionThread_->fail(vulkanError("vkQueueSubmit2", result), std::move(completion));
        return;
    }
    ++lastValue_;
    for (const auto& request : sync.presents) present(request);
    completionThread_->expect(lastValue_, std::move(completion));
}

void VulkanQueue::present(const PresentRequest& request) {
    const VkPresentInfoKHR info{
        .sType = VK_STRUCTURE_TYPE_PRESENT_INFO_KHR,
        .waitSemaphoreCount = 1,
        .pWaitSemaphores = &request.renderFinished,
        .swapchainCount = 1,
        .pSwapchains = &request.swapchain,
        .pImageIndices = &request.imageIndex,
    };
    request.presented(logicalDevice_->noteResult(vkQueuePresentKHR(logicalDevice_->queue(), &info)));
}

void VulkanQueue::fail(foundation::ErrorRef error, Completion completion) {
    // Under the lock, so it takes its turn after what was submitted before.
    std::lock_guard lock(mutex_);
    completionThread_->fail(std::move(error), std::move(completion));
}

foundation::ErrorRef VulkanQueue::submitAndWait(VkCommandBuffer commandBuffer) {
    // Owned by the completion too, so it outlives set_value on that thread.
    auto done = std::make_shared<std::promise<foundation::ErrorRef>>();
    auto result = done->get_future();
    submit(commandBuffer, {}, [done](const foundation::ErrorRef& error) { done->set_value(error); });
    return result.get();
}

void VulkanQueue::waitIdle() {
    recordingThread_.drain();
    std::lock_guard lock(mutex_);
    logicalDevice_->noteResult(vkQueueWaitIdle(logicalDevice_->queue()));
}

} // namespace gpu::vulkan
