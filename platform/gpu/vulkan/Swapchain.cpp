#include "platform/gpu/vulkan/Swapchain.h"

#include <algorithm>

namespace gpu::vulkan {

namespace {

constexpr VkFormat kSwapchainFormat = VK_FORMAT_B8G8R8A8_UNORM;
constexpr VkColorSpaceKHR kSwapchainColorSpace = VK_COLOR_SPACE_SRGB_NONLINEAR_KHR;
// The surface extent of a window system that takes the swapchain's size.
constexpr std::uint32_t kExtentFromSwapchain = 0xFFFFFFFF;

template <class Item, class Query>
std::vector<Item> surfaceList(Query query) {
    std::uint32_t count = 0;
    if (query(&count, nullptr) != VK_SUCCESS) return {};
    std::vector<Item> items(count);
    if (query(&count, items.data()) < VK_SUCCESS) return {};
    items.resize(count);
    return items;
}

bool offersFormat(VkPhysicalDevice device, VkSurfaceKHR surface) {
    const auto formats = surfaceList<VkSurfaceFormatKHR>([&](std::uint32_t* count, VkSurfaceFormatKHR* items) {
        return vkGetPhysicalDeviceSurfaceFormatsKHR(device, surface, count, items);
    });
    return std::any_of(formats.begin(), formats.end(), [](const VkSurfaceFormatKHR& format) {
        return format.format == kSwapchainFormat && format.colorSpace == kSwapchainColorSpace;
    });
}

// MAILBOX shows the newest frame without tearing and never blocks; FIFO is
// always there.
VkPresentModeKHR presentMode(VkPhysicalDevice device, VkSurfaceKHR surface) {
    const auto modes = surfaceList<VkPresentModeKHR>([&](std::uint32_t* count, VkPresentModeKHR* items) {
        return vkGetPhysicalDeviceSurfacePresentModesKHR(device, surface, count, items);
    });
    const bool mailbox = std::find(modes.begin(), modes.end(), VK_PRESENT_MODE_MAILBOX_KHR) != modes.end();
    return mailbox ? VK_PRESENT_MODE_MAILBOX_KHR : VK_PRESENT_MODE_FIFO_KHR;
}

VkExtent2D extentFor(const VkSurfaceCapabilitiesKHR& capabilities, VkExtent2D requested) {
    if (capabilities.currentExtent.width != kExtentFromSwapchain) return capabilities.currentExtent;
    return {std::clamp(requested.width, capabilities.minImageExtent.width, capabilities.maxImageExtent.width),
            std::clamp(requested.height, capabilities.minImageExtent.height, capabilities.maxImageExtent.height)};
}

std::uint32_t imageCountFor(const VkSurfaceCapabilitiesKHR& capabilities) {
    const std::uint32_t wanted = capabilities.minImageCount + 1;
    return capabilities.maxImageCount == 0 ? wanted : std::min(wanted, capabilities.maxImageCount);
}

VkCompositeAlphaFlagBitsKHR compositeAlphaFor(const VkSurfaceCapabilitiesKHR& capabilities) {
    if (capabilities.supportedCompositeAlpha & VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR) {
        return VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR;
    }
    return VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR;
}

} // namespace

VkSemaphore createBinarySemaphore(VkDevice device, VkResult* result) {
    const VkSemaphoreCreateInfo info{.sType = VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO};
    VkSemaphore semaphore = VK_NULL_HANDLE;
    *result = vkCreateSemaphore(device, &info, nullptr, &semaphore);
    return *result == VK_SUCCESS ? semaphore : VK_NULL_HANDLE;
}

Swapchain::Swapchain(std::shared_ptr<LogicalDevice> logicalDevice, VkSwapchainKHR swapchain, VkExtent2D extent)
    : logicalDevice_(std::move(logicalDevice)), swapchain_(swapchain), extent_(extent) {}

std::unique_ptr<Swapchain> Swapchain::create(std::shared_ptr<LogicalDevice> logicalDevice, VkSurfaceKHR surface,
                                             VkExtent2D requestedExtent, VkSwapchainKHR oldSwapchain,
                                             VkResult* result) {
    const VkPhysicalDevice physicalDevice = logicalDevice->physicalDevice();
    VkSurfaceCapabilitiesKHR capabilities;
    *result = vkGetPhysicalDeviceSurfaceCapabilitiesKHR(physicalDevice, surface, &capabilities);
    if (*result != VK_SUCCESS) return nullptr;
    const VkExtent2D extent = extentFor(capabilities, requestedExtent);
    if (extent.width == 0 || extent.height == 0) {
        *result = VK_ERROR_OUT_OF_DATE_KHR;
        return nullptr;
    }
    if (!offersFormat(physicalDevice, surface)) {
        *result = VK_ERROR_FORMAT_NOT_SUPPORTED;
        return nullptr;
    }
    const VkSwapchainCreateInfoKHR info{
        .sType = VK_STRUCTURE_TYPE_SWAPCHAIN_CREATE_INFO_KHR,
        .surface = surface,
        .minImageCount = imageCountFor(capabilities),
        .imageFormat = kSwapchainFormat,
        .imageColorSpace = kSwapchainColorSpace,
        .imageExtent = extent,
        .imageArrayLayers = 1,
        .imageUsage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT,
        .imageSharingMode = VK_SHARING_MODE_EXCLUSIVE,
        .preTransform = capabilities.currentTransform,
        .compositeAlpha = compositeAlphaFor(capabilities),
        .presentMode = presentMode(physicalDevice, surface),
        .clipped = VK_TRUE,
        .oldSwapchain = oldSwapchain,
    };
    VkSwapchainKHR handle = VK_NULL_HANDLE;
    *result = vkCreateSwapchainKHR(logicalDevice->device(), &info, nullptr, &handle);
    if (*result != VK_SUCCESS) return nullptr;
    std::unique_ptr<Swapchain> swapchain(new Swapchain(std::move(logicalDevice), handle, extent));
    *result = swapchain->createImages();
    if (*result != VK_SUCCESS) return nullptr;
    return swapchain;
}

VkResult Swapchain::createImages() {
    const VkDevice device = logicalDevice_->device();
    std::uint32_t count = 0;
    if (VkResult result = vkGetSwapchainImagesKHR(device, swapchain_, &count, nullptr); result != VK_SUCCESS) {
        return result;
    }
    std::vector<VkImage> images(count);
    if (VkResult result = vkGetSwapchainImagesKHR(device, swapchain_, &count, images.data()); result < VK_SUCCESS) {
        return result;
    }
    for (VkImage image : images) {
        Image entry;
        entry.texture = VulkanTexture::wrapPresentableImage(logicalDevice_, image, kSwapchainFormat, extent_);
        if (!entry.texture) return VK_ERROR_OUT_OF_HOST_MEMORY;
        VkResult result;
        entry.renderFinished = createBinarySemaphore(device, &result);
        images_.push_back(std::move(entry));
        if (result != VK_SUCCESS) return result;
    }
    return VK_SUCCESS;
}

Swapchain::~Swapchain() {
    const VkDevice device = logicalDevice_->device();
    for (const Image& image : images_) {
        if (image.renderFinished) vkDestroySemaphore(device, image.renderFinished, nullptr);
    }
    // The textures' views go with the images they show.
    for (Image& image : images_) image.texture->releaseView();
    vkDestroySwapchainKHR(device, swapchain_, nullptr);
}

VkResult Swapchain::acquire(VkSemaphore acquired, std::uint64_t timeoutNanoseconds, std::uint32_t* image) const {
    return logicalDevice_->noteResult(vkAcquireNextImageKHR(logicalDevice_->device(), swapchain_, timeoutNanoseconds,
                                                            acquired, VK_NULL_HANDLE, image));
}

} // namespace gpu::vulkan
