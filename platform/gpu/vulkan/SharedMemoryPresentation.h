#pragma once

#include "platform/gpu/Drawable.h"
#include "platform/gpu/NativeWindow.h"
#include "platform/gpu/vulkan/FrameFinishedSignal.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/ReusedRecords.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace gpu::vulkan {

class SharedMemoryFrame;
struct SharedMemoryWindow;

// The drawables of one X window for a device that draws on the CPU. Its
// frames are drawn into textures that read back into memory shared with
// the X server (MIT-SHM), and each finished frame is put into the window
// from there on a connection of its own: the server copies it instead of
// taking every pixel through the socket, which costs it as much as the
// drawing costs us. The X server's side of it is in XlibSurface.cpp.
//
// Paced as a swapchain is: at most two frames out at a time, and no frame
// (nothing to wait for) when both are.
class SharedMemoryDrawableSource final : public WindowDrawableSource {
public:
    // Makes a Shared texture whose pixels land in the memory.
    using TextureMaker =
        std::function<std::shared_ptr<VulkanTexture>(const TextureDescriptor& descriptor, HostPixels pixels)>;

    // Null where the window's server shares no memory with this process (a
    // remote display, no MIT-SHM), the window takes no 32-bit pixels, or
    // the device cannot draw into memory it did not allocate: a swapchain
    // presents there.
    static std::shared_ptr<SharedMemoryDrawableSource> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                              TextureMaker makeTexture, const NativeWindow& window,
                                                              std::uint64_t width, std::uint64_t height);
    // Waits for the frames out, then lets go of the shared memory and the
    // connection.
    ~SharedMemoryDrawableSource() override;

    std::shared_ptr<Drawable> nextDrawable() override;
    void setDrawableSize(std::uint64_t width, std::uint64_t height) override;
    // True once a frame could not be put into the window: it is gone.
    bool isLost() const override { return *windowLost_; }

private:
    SharedMemoryDrawableSource(std::shared_ptr<LogicalDevice> logicalDevice, TextureMaker makeTexture,
                               std::shared_ptr<SharedMemoryWindow> window);
    // The frames anew at the requested size; false when they cannot be
    // made.
    bool makeFrames();
    int framesOut() const;

    std::shared_ptr<LogicalDevice> logicalDevice_;
    TextureMaker makeTexture_;
    std::shared_ptr<SharedMemoryWindow> window_;
    std::shared_ptr<FrameFinishedSignal> finished_ = std::make_shared<FrameFinishedSignal>();
    std::shared_ptr<std::atomic<bool>> windowLost_ = std::make_shared<std::atomic<bool>>(false);
    ReusedRecords<SharedMemoryFrame> frames_;
    std::uint64_t width_ = 0, height_ = 0;
    bool framesMatchSize_ = false;
};

} // namespace gpu::vulkan
