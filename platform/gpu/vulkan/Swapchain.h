#pragma once

#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <vulkan/vulkan.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace gpu::vulkan {

// One swapchain of a window's surface: B8G8R8A8_UNORM in sRGB non-linear,
// FIFO unless MAILBOX is there, one image more than the minimum. Each image
// has a texture to draw into and a semaphore its present waits for.
class Swapchain {
public:
    // Null with the failure when the surface offers no such swapchain; a
    // window of no size yields VK_ERROR_OUT_OF_DATE_KHR.
    static std::unique_ptr<Swapchain> create(std::shared_ptr<LogicalDevice> logicalDevice, VkSurfaceKHR surface,
                                             VkExtent2D requestedExtent, VkSwapchainKHR oldSwapchain,
                                             VkResult* result);
    // Only once no work on its images is pending.
    ~Swapchain();
    Swapchain(const Swapchain&) = delete;
    Swapchain& operator=(const Swapchain&) = delete;

    VkSwapchainKHR handle() const { return swapchain_; }
    VkExtent2D extent() const { return extent_; }
    // The next image, its index in *image; VK_TIMEOUT when none comes back
    // within the timeout.
    VkResult acquire(VkSemaphore acquired, std::uint64_t timeoutNanoseconds, std::uint32_t* image) const;
    const std::shared_ptr<VulkanTexture>& texture(std::uint32_t image) const { return images_[image].texture; }
    VkSemaphore renderFinished(std::uint32_t image) const { return images_[image].renderFinished; }

private:
    struct Image {
        std::shared_ptr<VulkanTexture> texture;
        VkSemaphore renderFinished = VK_NULL_HANDLE;
    };

    Swapchain(std::shared_ptr<LogicalDevice> logicalDevice, VkSwapchainKHR swapchain, VkExtent2D extent);
    VkResult createImages();

    std::shared_ptr<LogicalDevice> logicalDevice_;
    VkSwapchainKHR swapchain_;
    VkExtent2D extent_;
    std::vector<Image> images_;
};

// A binary semaphore, or VK_NULL_HANDLE with the failure.
VkSemaphore createBinarySemaphore(VkDevice device, VkResult* result);

} // namespace gpu::vulkan
