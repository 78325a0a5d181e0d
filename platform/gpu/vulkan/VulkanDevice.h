#pragma once

#include "platform/gpu/Device.h"
#include "platform/gpu/vulkan/ImmediateCommands.h"
#include "platform/gpu/vulkan/LogicalDevice.h"
#include "platform/gpu/vulkan/VulkanQueue.h"
#include "platform/gpu/vulkan/VulkanTexture.h"

#include <memory>
#include <string>

namespace gpu::vulkan {

// The GPU device on Vulkan. It shares its one queue (and the queue's
// completion thread) with its command queues and loaders; when the last of
// them goes, the thread is joined after the work it waits for has completed.
class VulkanDevice final : public Device {
public:
    // Null when no device can be had under the options.
    static std::shared_ptr<VulkanDevice> create(const DeviceOptions& options);

    std::string name() const override;

    std::shared_ptr<CommandQueue> newCommandQueue() override;
    std::shared_ptr<Library> newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                         foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<RenderPipelineState> newRenderPipelineStateWithDescriptor(
        const RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error = nullptr) override;
    std::shared_ptr<SamplerState> newSamplerStateWithDescriptor(const SamplerDescriptor& descriptor) override;
    std::shared_ptr<Texture> newTextureWithDescriptor(const TextureDescriptor& descriptor) override;
    std::shared_ptr<TextureLoader> newTextureLoader() override;
    std::shared_ptr<DrawableSource> newOffscreenDrawableSource(PixelFormat pixelFormat, std::uint64_t width,
                                                               std::uint64_t height) override;
    std::shared_ptr<WindowDrawableSource> newWindowDrawableSource(const NativeWindow& window, PixelFormat pixelFormat,
                                                                  std::uint64_t width, std::uint64_t height) override;

    // Once a call has reported the device lost, it stays lost.
    bool isLost() const { return logicalDevice_->isLost(); }

private:
    VulkanDevice(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<VulkanQueue> queue,
                 std::shared_ptr<ImmediateCommands> immediateCommands);
    // A new texture in its resting layout, ordered before any later work.
    std::shared_ptr<VulkanTexture> newVulkanTexture(const TextureDescriptor& descriptor,
                                                    HostPixels pixelsInto = {});

    std::shared_ptr<LogicalDevice> logicalDevice_;
    std::shared_ptr<VulkanQueue> queue_;
    std::shared_ptr<ImmediateCommands> immediateCommands_;
};

} // namespace gpu::vulkan
