#include "tests/support/SharedMemoryRefusal.h"

#include "tests/support/NextDefinition.h"

#include <X11/Xlib.h>
#include <vulkan/vulkan.h>

#include <atomic>

namespace {

std::atomic<bool> refused = false;
std::atomic<bool> hostImagesRefused = false;

bool asksForHostMemory(const VkPhysicalDeviceImageFormatInfo2* info) {
    for (auto* next = static_cast<const VkBaseInStructure*>(info->pNext); next; next = next->pNext) {
        if (next->sType == VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_IMAGE_FORMAT_INFO &&
            reinterpret_cast<const VkPhysicalDeviceExternalImageFormatInfo*>(next)->handleType ==
                VK_EXTERNAL_MEMORY_HANDLE_TYPE_HOST_ALLOCATION_BIT_EXT) {
            return true;
        }
    }
    return false;
}

} // namespace

WithoutSharedMemory::WithoutSharedMemory() { refused = true; }

WithoutSharedMemory::~WithoutSharedMemory() { refused = false; }

// Exported, so the platform library finds it before libXext's.
extern "C" __attribute__((visibility("default"))) Bool XShmQueryExtension(Display* display) {
    static const auto forward = nextDefinition<Bool (*)(Display*)>("XShmQueryExtension", "shared memory refusal");
    return !refused && forward(display);
}

WithoutDrawingIntoHostMemory::WithoutDrawingIntoHostMemory() { hostImagesRefused = true; }

WithoutDrawingIntoHostMemory::~WithoutDrawingIntoHostMemory() { hostImagesRefused = false; }

// Exported, so the platform library finds it before the loader's.
extern "C" __attribute__((visibility("default"))) VkResult VKAPI_CALL vkGetPhysicalDeviceImageFormatProperties2(
    VkPhysicalDevice device, const VkPhysicalDeviceImageFormatInfo2* info, VkImageFormatProperties2* properties) {
    static const auto forward = nextDefinition<PFN_vkGetPhysicalDeviceImageFormatProperties2>(
        "vkGetPhysicalDeviceImageFormatProperties2", "host image refusal");
    if (hostImagesRefused && asksForHostMemory(info)) return VK_ERROR_FORMAT_NOT_SUPPORTED;
    return forward(device, info, properties);
}
