#pragma once

#include "platform/gpu/NativeWindow.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/Swapchain.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <vulkan/vulkan.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace gpu::vulkan {

// An image that was acquired and never presented, with the semaphore its
// acquisition signals.
struct AcquiredImage {
    std::uint32_t index = 0;
    VkSemaphore acquired = VK_NULL_HANDLE;
};

// One window's presentation through its surface and swapchain: the state
// its drawable source (main thread) shares with the drawables out of it
// (released on whichever thread lets go of them last).
class SwapchainPresentation : public std::enable_shared_from_this<SwapchainPresentation> {
public:
    static constexpr int kMaximumFramesInFlight = 2;

    // Null when the device cannot present to the window.
    static std::shared_ptr<SwapchainPresentation> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                         std::shared_ptr<VulkanQueue> queue,
                                                         const NativeWindow& window, VkExtent2D extent);
    ~SwapchainPresentation();

    // Main thread. The next image to draw into, counted as out until its
    // frame finished or it was given back; none when two frames are out
    // already, no image became free in time, or the window is gone.
    std::optional<AcquiredImage> acquireImage();
    void setRequestedExtent(VkExtent2D extent);
    bool isLost() const { return lost_; }
    // Waits for the frames in flight and destroys swapchain and surface.
    void shutDown();

    // From the drawables.
    const Swapchain& swapchain() const { return *swapchain_; }
    void presented(VkResult result);
    void frameFinished(VkSemaphore acquired);
    void giveBack(AcquiredImage image);

private:
    SwapchainPresentation(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<VulkanQueue> queue,
                          VkSurfaceKHR surface, VkExtent2D extent);
    bool recreateSwapchain();
    // Lets the device and the drawables finish with the swapchain's images.
    void waitForFramesInFlight();
    void consumeHeldImage();
    std::optional<AcquiredImage> acquire();
    VkSemaphore takeAcquireSemaphore();
    // Marks the presentation lost when the result says the surface or the
    // device is.
    void noteLoss(VkResult result);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::shared_ptr<VulkanQueue> queue_;
    VkSurfaceKHR surface_;
    std::unique_ptr<Swapchain> swapchain_;
    VkExtent2D requestedExtent_;
    std::atomic<bool> needsRecreation_ = true;
    std::atomic<bool> lost_ = false;

    std::mutex mutex_;
    std::condition_variable frameDone_;
    int framesOut_ = 0;
    std::optional<AcquiredImage> held_;
    std::vector<VkSemaphore> freeSemaphores_;
    std::vector<VkSemaphore> allSemaphores_;
};

} // namespace gpu::vulkan
