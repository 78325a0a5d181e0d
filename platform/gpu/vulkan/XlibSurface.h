#pragma once

// The X11 side of presentation, the one place that knows Xlib's types. The
// declarations here take the connection and the window opaquely.

#include "platform/gpu/NativeWindow.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <vulkan/vulkan.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gpu::vulkan {

// Whether the device's queue family can present to windows of the
// connection's default visual. Only for an instance with X11 surfaces.
bool canPresentToXlibDisplay(VkPhysicalDevice device, std::uint32_t queueFamily, void* display);

// A surface for the window; the window must outlive it.
VkResult createXlibSurface(VkInstance instance, const NativeWindow& window, VkSurfaceKHR* surface);

// The window through a connection of its own, for frames put into it from
// memory shared with its server (MIT-SHM): they are put from the
// completion thread, the memory made and freed on the main thread. Null
// where the server is not on this machine, has no MIT-SHM, or the window's
// pixels are not the blue, green, red and unused bytes a B8G8R8A8 texture
// holds.
struct SharedMemoryWindow;
std::shared_ptr<SharedMemoryWindow> connectSharedMemoryWindow(const NativeWindow& window);

// One frame's pixels in a System V segment the window's server has attached
// too, laid out in rows as the texture drawn into it wants them.
class SharedMemoryImage {
public:
    // Of a size rounded up to the alignment; null when the memory cannot be
    // had or shared, or the server's rows cannot be laid out so.
    static std::unique_ptr<SharedMemoryImage> create(std::shared_ptr<SharedMemoryWindow> window, std::uint64_t width,
                                                     std::uint64_t height, HostImageLayout layout,
                                                     std::uint64_t alignment);
    ~SharedMemoryImage();
    SharedMemoryImage(const SharedMemoryImage&) = delete;
    SharedMemoryImage& operator=(const SharedMemoryImage&) = delete;

    std::byte* data() const;
    std::uint64_t size() const;
    // Waits until the server has copied the pixels, so they may be drawn
    // anew; false when the window is gone.
    bool putIntoWindow() const;

private:
    struct Segment;
    explicit SharedMemoryImage(std::unique_ptr<Segment> segment);

    std::unique_ptr<Segment> segment_;
};

} // namespace gpu::vulkan
