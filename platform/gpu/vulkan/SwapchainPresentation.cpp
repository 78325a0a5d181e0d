#include "platform/gpu/vulkan/SwapchainPresentation.h"

#include "platform/gpu/DeviceLossAnnouncement.h"
#include "platform/gpu/vulkan/WindowSurfaces.h"

#include <chrono>

namespace gpu::vulkan {

namespace {

// Long enough for an image that is about to come back, short enough that a
// frame the window cannot take is skipped rather than holding up the main
// thread.
constexpr std::uint64_t kAcquireTimeoutNanoseconds = 1000000;
// The device has finished everything when frames are waited for; what is
// left is the completion thread letting go of them.
constexpr std::chrono::seconds kFrameReleaseTimeout{2};

} // namespace

SwapchainPresentation::SwapchainPresentation(std::shared_ptr<LogicalDevice> logicalDevice,
                                             std::shared_ptr<VulkanQueue> queue, VkSurfaceKHR surface,
                                             VkExtent2D extent)
    : logicalDevice_(std::move(logicalDevice)), queue_(std::move(queue)), surface_(surface), requestedExtent_(extent) {}

std::shared_ptr<SwapchainPresentation> SwapchainPresentation::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                                     std::shared_ptr<VulkanQueue> queue,
                                                                     const NativeWindow& window, VkExtent2D extent) {
    if (!logicalDevice->canPresentTo(window.system) || !window.display || !window.window) return nullptr;
    VkSurfaceKHR surface = VK_NULL_HANDLE;
    if (createWindowSurface(logicalDevice->instance(), window, &surface) != VK_SUCCESS) return nullptr;
    VkBool32 supported = VK_FALSE;
    if (vkGetPhysicalDeviceSurfaceSupportKHR(logicalDevice->physicalDevice(), logicalDevice->queueFamily(), surface,
                                             &supported) != VK_SUCCESS ||
        !supported) {
        vkDestroySurfaceKHR(logicalDevice->instance(), surface, nullptr);
        return nullptr;
    }
    return std::shared_ptr<SwapchainPresentation>(
        new SwapchainPresentation(std::move(logicalDevice), std::move(queue), surface, extent));
}

SwapchainPresentation::~SwapchainPresentation() { shutDown(); }

void SwapchainPresentation::shutDown() {
    if (!surface_) return;
    waitForFramesInFlight();
    consumeHeldImage();
    swapchain_.reset();
    const VkDevice device = logicalDevice_->device();
    for (VkSemaphore semaphore : allSemaphores_) vkDestroySemaphore(device, semaphore, nullptr);
    allSemaphores_.clear();
    freeSemaphores_.clear();
    vkDestroySurfaceKHR(logicalDevice_->instance(), surface_, nullptr);
    surface_ = VK_NULL_HANDLE;
    lost_ = true;
}

void SwapchainPresentation::setRequestedExtent(VkExtent2D extent) {
    if (extent.width == requestedExtent_.width && extent.height == requestedExtent_.height) return;
    requestedExtent_ = extent;
    needsRecreation_ = true;
}

std::optional<AcquiredImage> SwapchainPresentation::acquireImage() {
    if (lost_) return std::nullopt;
    {
        std::lock_guard lock(mutex_);
        if (framesOut_ >= kMaximumFramesInFlight) return std::nullopt;
    }
    if (needsRecreation_ && !recreateSwapchain()) return std::nullopt;
    auto image = acquire();
    if (!image) return std::nullopt;
    std::lock_guard lock(mutex_);
    ++framesOut_;
    return image;
}

std::optional<AcquiredImage> SwapchainPresentation::acquire() {
    {
        std::lock_guard lock(mutex_);
        if (held_) return std::exchange(held_, std::nullopt);
    }
    const VkSemaphore semaphore = takeAcquireSemaphore();
    if (!semaphore) return std::nullopt;
    std::uint32_t index = 0;
    const VkResult result = swapchain_->acquire(semaphore, kAcquireTimeoutNanoseconds, &index);
    if (result == VK_SUCCESS || result == VK_SUBOPTIMAL_KHR) {
        if (result == VK_SUBOPTIMAL_KHR) needsRecreation_ = true;
        return AcquiredImage{index, semaphore};
    }
    // Not signalled: the semaphore can be used again at once.
    {
        std::lock_guard lock(mutex_);
        freeSemaphores_.push_back(semaphore);
    }
    if (result == VK_ERROR_OUT_OF_DATE_KHR) needsRecreation_ = true;
    noteLoss(result);
    return std::nullopt;
}

VkSemaphore SwapchainPresentation::takeAcquireSemaphore() {
    std::lock_guard lock(mutex_);
    if (!freeSemaphores_.empty()) {
        const VkSemaphore semaphore = freeSemaphores_.back();
        freeSemaphores_.pop_back();
        return semaphore;
    }
    VkResult result;
    const VkSemaphore semaphore = createBinarySemaphore(logicalDevice_->device(), &result);
    if (semaphore) allSemaphores_.push_back(semaphore);
    return semaphore;
}

bool SwapchainPresentation::recreateSwapchain() {
    if (swapchain_) {
        waitForFramesInFlight();
        consumeHeldImage();
    }
    VkResult result;
    auto replacement = Swapchain::create(logicalDevice_, surface_, requestedExtent_,
                                         swapchain_ ? swapchain_->handle() : VK_NULL_HANDLE, &result);
    // Retired by its successor, or useless when there is none: either way
    // the old swapchain goes.
    swapchain_ = std::move(replacement);
    if (!swapchain_) {
        // A window of no size gets a swapchain once it has one again; a
        // window that is gone never does.
        if (result == VK_ERROR_NATIVE_WINDOW_IN_USE_KHR) lost_ = true;
        noteLoss(result);
        return false;
    }
    needsRecreation_ = false;
    return true;
}

void SwapchainPresentation::waitForFramesInFlight() {
    queue_->waitIdle();
    std::unique_lock lock(mutex_);
    frameDone_.wait_for(lock, kFrameReleaseTimeout, [this] { return framesOut_ == 0; });
}

// An image acquired and never presented still has its acquisition's signal
// pending; a submission that waits for it takes the signal, so the
// semaphore and the swapchain can go.
void SwapchainPresentation::consumeHeldImage() {
    std::optional<AcquiredImage> held;
    {
        std::lock_guard lock(mutex_);
        held = std::exchange(held_, std::nullopt);
    }
    if (!held) return;
    SubmissionSync sync;
    sync.waits.push_back({
        .sType = VK_STRUCTURE_TYPE_SEMAPHORE_SUBMIT_INFO,
        .semaphore = held->acquired,
        .stageMask = VK_PIPELINE_STAGE_2_ALL_COMMANDS_BIT,
    });
    queue_->submit(VK_NULL_HANDLE, sync, [](const foundation::ErrorRef&) {});
    queue_->waitIdle();
    std::lock_guard lock(mutex_);
    freeSemaphores_.push_back(held->acquired);
}

void SwapchainPresentation::presented(VkResult result) {
    if (result == VK_SUBOPTIMAL_KHR || result == VK_ERROR_OUT_OF_DATE_KHR) needsRecreation_ = true;
    noteLoss(result);
}

// A surface lost under a window that is still shown is news for the host;
// the device's loss is announced by the device.
void SwapchainPresentation::noteLoss(VkResult result) {
    if (result == VK_ERROR_DEVICE_LOST) lost_ = true;
    if (result == VK_ERROR_SURFACE_LOST_KHR && !lost_.exchange(true)) announceDeviceOrSurfaceLost();
}

void SwapchainPresentation::frameFinished(VkSemaphore acquired) {
    {
        std::lock_guard lock(mutex_);
        --framesOut_;
        freeSemaphores_.push_back(acquired);
    }
    frameDone_.notify_all();
}

void SwapchainPresentation::giveBack(AcquiredImage image) {
    {
        std::lock_guard lock(mutex_);
        --framesOut_;
        held_ = image;
    }
    frameDone_.notify_all();
}

} // namespace gpu::vulkan
