#pragma once

#include "platform/gpu/Drawable.h"
#include "platform/gpu/NativeWindow.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/ReusedRecords.h"
#include "platform/gpu/vulkan/VulkanQueue.h"

#include <cstdint>
#include <memory>

namespace gpu::vulkan {

class SwapchainDrawable;
class SwapchainPresentation;

// The drawables of one window, from a swapchain on its surface. Asking for
// a drawable waits at most a millisecond for an image; at most two frames
// are out or in flight at a time; an image taken and never presented is
// handed out again; a swapchain the window no longer fits is made anew at
// the next request; a window destroyed by its owner yields no more
// drawables.
class SwapchainDrawableSource final : public WindowDrawableSource {
public:
    // Null when the device cannot present to the window.
    static std::shared_ptr<SwapchainDrawableSource> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                           std::shared_ptr<VulkanQueue> queue,
                                                           const NativeWindow& window, std::uint64_t width,
                                                           std::uint64_t height);
    // Waits for the frames in flight, then lets go of the swapchain and the
    // surface, so the window can be destroyed right after.
    ~SwapchainDrawableSource() override;

    std::shared_ptr<Drawable> nextDrawable() override;
    void setDrawableSize(std::uint64_t width, std::uint64_t height) override;
    bool isLost() const override;

private:
    explicit SwapchainDrawableSource(std::shared_ptr<SwapchainPresentation> presentation);
    // Drawables let go of unpresented give their images back before the
    // next is acquired, or the swapchain made anew.
    void reclaimUnpresentedImages();

    std::shared_ptr<SwapchainPresentation> presentation_;
    ReusedRecords<SwapchainDrawable> drawables_;
};

} // namespace gpu::vulkan
