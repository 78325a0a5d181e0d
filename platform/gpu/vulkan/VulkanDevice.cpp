#include "platform/gpu/vulkan/VulkanDevice.h"

#include "platform/gpu/vulkan/CommandBufferPool.h"
#include "platform/gpu/vulkan/OffscreenDrawableSource.h"
#include "platform/gpu/vulkan/PixelFormats.h"
#include "platform/gpu/vulkan/SharedMemoryPresentation.h"
#include "platform/gpu/vulkan/SwapchainDrawableSource.h"
#include "platform/gpu/vulkan/VulkanCommandQueue.h"
#include "platform/gpu/vulkan/VulkanLibrary.h"
#include "platform/gpu/vulkan/VulkanRenderPipelineState.h"
#include "platform/gpu/vulkan/VulkanSamplerState.h"
#include "platform/gpu/vulkan/VulkanTextureLoader.h"

namespace gpu::vulkan {

VulkanDevice::VulkanDevice(std::shared_ptr<LogicalDevice> logicalDevice, std::shared_ptr<VulkanQueue> queue,
                           std::shared_ptr<ImmediateCommands> immediateCommands)
    : logicalDevice_(std::move(logicalDevice)), queue_(std::move(queue)),
      immediateCommands_(std::move(immediateCommands)) {}

std::shared_ptr<VulkanDevice> VulkanDevice::create(const DeviceOptions& options) {
    auto logicalDevice = LogicalDevice::create(options);
    if (!logicalDevice) return nullptr;
    auto completionThread = CompletionThread::create(logicalDevice);
    if (!completionThread) return nullptr;
    VkResult result;
    auto pool = CommandBufferPool::create(logicalDevice, &result);
    if (!pool) return nullptr;
    auto queue = std::make_shared<VulkanQueue>(logicalDevice, std::move(completionThread));
    auto immediateCommands = std::make_shared<ImmediateCommands>(queue, std::move(pool));
    return std::shared_ptr<VulkanDevice>(
        new VulkanDevice(std::move(logicalDevice), std::move(queue), std::move(immediateCommands)));
}

std::string VulkanDevice::name() const { return logicalDevice_->properties().deviceName; }

std::shared_ptr<CommandQueue> VulkanDevice::newCommandQueue() {
    VkResult result;
    auto pool = CommandBufferPool::create(logicalDevice_, &result);
    if (!pool) return nullptr;
    return std::make_shared<VulkanCommandQueue>(logicalDevice_, queue_, std::move(pool));
}

std::shared_ptr<Library> VulkanDevice::newDefaultLibraryWithBundle(const foundation::Bundle& bundle,
                                                                   foundation::ErrorRef* error) {
    const auto path = bundle.URLForResource(kDefaultLibraryName, kDefaultLibraryExtension);
    if (path.empty()) return nullptr;
    return VulkanLibrary::create(logicalDevice_, path, error);
}

std::shared_ptr<RenderPipelineState> VulkanDevice::newRenderPipelineStateWithDescriptor(
    const RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error) {
    return VulkanRenderPipelineState::create(logicalDevice_, descriptor, error);
}

std::shared_ptr<SamplerState> VulkanDevice::newSamplerStateWithDescriptor(const SamplerDescriptor& descriptor) {
    return VulkanSamplerState::create(logicalDevice_, descriptor);
}

std::shared_ptr<VulkanTexture> VulkanDevice::newVulkanTexture(const TextureDescriptor& descriptor,
                                                              HostPixels pixelsInto) {
    auto texture = VulkanTexture::create(logicalDevice_, descriptor, pixelsInto);
    if (!texture) return nullptr;
    const auto failure = immediateCommands_->submit(
        [&texture](VkCommandBuffer commandBuffer) { texture->recordInitialLayout(commandBuffer); }, texture);
    return failure ? nullptr : texture;
}

std::shared_ptr<Texture> VulkanDevice::newTextureWithDescriptor(const TextureDescriptor& descriptor) {
    return newVulkanTexture(descriptor);
}

std::shared_ptr<TextureLoader> VulkanDevice::newTextureLoader() {
    return std::make_shared<VulkanTextureLoader>(logicalDevice_, immediateCommands_);
}

std::shared_ptr<DrawableSource> VulkanDevice::newOffscreenDrawableSource(PixelFormat pixelFormat, std::uint64_t width,
                                                                         std::uint64_t height) {
    return OffscreenDrawableSource::create(
        [this](const TextureDescriptor& descriptor) { return newVulkanTexture(descriptor); }, pixelFormat, width,
        height);
}

std::shared_ptr<WindowDrawableSource> VulkanDevice::newWindowDrawableSource(const NativeWindow& window,
                                                                            PixelFormat pixelFormat,
                                                                            std::uint64_t width, std::uint64_t height) {
    // Swapchains hold B8G8R8A8 in sRGB non-linear: the formats that mean
    // those bytes.
    if (vulkanFormat(pixelFormat) != VK_FORMAT_B8G8R8A8_UNORM) return nullptr;
    // A CPU device's frames reach an X server on this machine through
    // shared memory where they can; a swapchain takes the rest.
    auto shared = SharedMemoryDrawableSource::create(
        logicalDevice_,
        [this](const TextureDescriptor& descriptor, HostPixels pixels) {
            return newVulkanTexture(descriptor, pixels);
        },
        window, width, height);
    if (shared) return shared;
    return SwapchainDrawableSource::create(logicalDevice_, queue_, window, width, height);
}

} // namespace gpu::vulkan
